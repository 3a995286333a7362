#include "ChannelSolo.h"

#include "Collection.h"
#include "Fft.h"

#include <algorithm>
#include <cmath>

namespace musicstats {

namespace {

constexpr std::size_t kSoloFrame = 1024;
constexpr double kSilentPower = 1e-7;  // -70 dBFS
constexpr std::size_t kMinBandBins = 24;  // about 500 Hz

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
    std::vector<float> sounding;  // spectra of the stretches where the channel sounds
    std::vector<double> levels;
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
    // A steady tone puts 90 % of its energy into the few bins of one partial, and any spectrum is
    // flat across so few bins: the band is widened to where a tone's gaps show.
    first = std::max<std::size_t>(first, 1);  // a crushed sample's DC offset is no sound
    last = std::min(bins, std::max(last, first + 1));
    if (last - first < kMinBandBins) {
        const std::size_t centre = (first + last) / 2;
        first = std::max<std::size_t>(1, centre > kMinBandBins / 2 ? centre - kMinBandBins / 2 : 1);
        last = std::min(bins, first + kMinBandBins);
    }
    std::vector<double> flatness(frames);
    for (std::size_t f = 0; f < frames; ++f) flatness[f] = spectralFlatness(sounding.data() + f * bins, first, last);
    out.flatness = median(flatness);
    out.heldNoise = out.soundingShare > kHeldShare && out.flatness >= kNoisyFlatness;
    return out;
}

}  // namespace

double spectralFlatness(const float* power, std::size_t first, std::size_t last) {
    if (last <= first) return 0;
    double logSum = 0, sum = 0;
    for (std::size_t k = first; k < last; ++k) {
        const double p = static_cast<double>(power[k]) + 1e-20;
        logSum += std::log(p);
        sum += p;
    }
    const double n = static_cast<double>(last - first);
    return std::exp(logSum / n) / (sum / n);
}

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

}  // namespace musicstats
