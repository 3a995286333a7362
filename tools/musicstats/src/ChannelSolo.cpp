#include "ChannelSolo.h"

#include "Collection.h"
#include "Fft.h"

#include <algorithm>
#include <cmath>

namespace musicstats {

namespace {

constexpr std::size_t kSoloFrame = 1024;
constexpr double kSilentPower = 1e-7; // -70 dBFS

// Mean power of the mix over the stretches of kSoloFrame frames at kSoloRate.
std::vector<double> mixPowers(const Rendering& mix) {
    const double span = static_cast<double>(kSoloFrame) * kRate / kSoloRate;
    std::vector<double> out;
    for (std::size_t w = 0;; ++w) {
        const auto first = static_cast<std::size_t>(static_cast<double>(w) * span);
        const auto last = static_cast<std::size_t>(static_cast<double>(w + 1) * span);
        if (last > mix.frames()) break;
        double sum = 0;
        for (std::size_t i = first; i < last; ++i) {
            sum += 0.5 * (static_cast<double>(mix.stereo[2 * i]) * mix.stereo[2 * i] +
                             static_cast<double>(mix.stereo[2 * i + 1]) * mix.stereo[2 * i + 1]);
        }
        out.push_back(sum / static_cast<double>(last - first));
    }
    return out;
}

SoloChannel describe(openmpt::module_ext& module, int channel, const std::vector<double>& mixPower, double maxSeconds) {
    SoloChannel out;
    out.channel = channel;
    auto* interactive = static_cast<openmpt::ext::interactive*>(module.get_interface(openmpt::ext::interactive_id));
    if (!interactive || mixPower.empty()) return out;
    for (int c = 0; c < module.get_num_channels(); ++c) interactive->set_channel_mute_status(c, c != channel);

    PowerSpectrum fft(kSoloFrame);
    std::vector<float> block(2 * kSoloFrame), mono(kSoloFrame), spectrum(fft.bins());
    std::vector<float> sounding; // spectra of the stretches where the channel sounds
    std::vector<double> levels;
    std::vector<std::size_t> windows; // where each of them is
    const auto limit = static_cast<std::size_t>(maxSeconds * kSoloRate / kSoloFrame);
    for (std::size_t w = 0; w < limit; ++w) {
        if (module.read_interleaved_stereo(kSoloRate, kSoloFrame, block.data()) < kSoloFrame) break;
        if (w >= mixPower.size()) continue;
        double power = 0;
        for (std::size_t i = 0; i < kSoloFrame; ++i) {
            mono[i] = 0.5f * (block[2 * i] + block[2 * i + 1]);
            power += 0.5 * (static_cast<double>(block[2 * i]) * block[2 * i] +
                               static_cast<double>(block[2 * i + 1]) * block[2 * i + 1]);
        }
        power /= kSoloFrame;
        if (power < kSilentPower || power < mixPower[w] * std::pow(10.0, -kNearMixDb / 10)) continue;
        levels.push_back(10 * std::log10(power / std::max(mixPower[w], 1e-20)));
        windows.push_back(w);
        fft.compute(mono.data(), spectrum.data());
        sounding.insert(sounding.end(), spectrum.begin(), spectrum.end());
    }
    out.soundingShare = static_cast<double>(levels.size()) / static_cast<double>(mixPower.size());
    if (levels.empty()) return out;
    out.levelDb = median(levels);

    // The channel's own band: where the middle 90 % of its energy lies.
    const std::size_t bins = fft.bins(), frames = levels.size();
    std::vector<double> longTerm(bins, 0.0);
    for (std::size_t f = 0; f < frames; ++f) {
        for (std::size_t k = 0; k < bins; ++k) longTerm[k] += sounding[f * bins + k];
    }
    double total = 0;
    for (double e : longTerm) total += e;
    std::size_t first = 0, last = bins;
    double cumulative = 0;
    for (std::size_t k = 0; k < bins; ++k) {
        cumulative += longTerm[k];
        if (cumulative < 0.05 * total) first = k + 1;
        if (cumulative <= 0.95 * total) last = k + 2;
    }
    first = std::max<std::size_t>(first, 1); // a crushed sample's DC offset is no sound
    last = std::min(bins, std::max(last, first + 1));
    // Noise has no partial that holds still: the level of each frequency of its band jumps from
    // one frame to the next (by 2 ln 2 in the mean, in nepers), where a held tone's partials stay
    // put, however narrow or wide the band is. Each frequency weighs by its energy.
    std::vector<double> jumps;
    for (std::size_t f = 1; f < frames; ++f) {
        if (windows[f] != windows[f - 1] + 1) continue;
        const float* before = sounding.data() + (f - 1) * bins;
        const float* now = sounding.data() + f * bins;
        double weighted = 0, weights = 0;
        for (std::size_t k = first; k < last; ++k) {
            const double a = static_cast<double>(before[k]) + 1e-20, b = static_cast<double>(now[k]) + 1e-20;
            const double w = std::sqrt(a * b);
            weighted += w * std::abs(std::log(b / a));
            weights += w;
        }
        if (weights > 0) jumps.push_back(weighted / weights);
    }
    if (jumps.empty()) return out;
    out.fluctuation = median(jumps);
    out.heldNoise = out.soundingShare > kHeldShare && out.fluctuation >= kNoisyFluctuation;
    return out;
}

} // namespace

std::vector<SoloChannel> soloSparseChannels(const std::vector<std::uint8_t>& bytes, const Rendering& mix,
    const CompositionStats& composition, double maxSeconds) {
    std::vector<SoloChannel> out;
    if (composition.minutes <= 0) return out;
    const std::vector<double> mixPower = mixPowers(mix);
    for (std::size_t c = 0; c < composition.noteOns.size(); ++c) {
        const double perMinute = composition.noteOns[c] / composition.minutes;
        if (composition.noteOns[c] == 0 || perMinute > kFewNotesPerMinute) continue;
        auto module = loadModule(bytes);
        SoloChannel solo = describe(*module, static_cast<int>(c), mixPower, maxSeconds);
        solo.notesPerMinute = perMinute;
        out.push_back(solo);
    }
    return out;
}

} // namespace musicstats
