#include "Synth.h"

#include "Rng.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace composer::synth {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr std::uint32_t kDrumRate = 32000;
constexpr std::uint32_t kMetalRate = 44100;

// Integer phase (2^32 per cycle) keeps every loop exactly periodic.
class SineTable {
public:
    SineTable() {
        for (std::size_t i = 0; i <= kSize; ++i) table_[i] = std::sin(kTwoPi * static_cast<double>(i) / kSize);
    }
    double operator()(std::uint32_t phase) const {
        const std::uint32_t index = phase >> 20;
        const double frac = static_cast<double>(phase & 0xFFFFF) * (1.0 / 1048576.0);
        return table_[index] + (table_[index + 1] - table_[index]) * frac;
    }

private:
    static constexpr std::size_t kSize = 4096;
    std::array<double, kSize + 1> table_{};
};

const SineTable& sine() {
    static const SineTable table;
    return table;
}

modwriter::Sample finish(const std::string& name, std::vector<double>& data, std::uint32_t rate, double level = 0.89) {
    double peak = 1e-9;
    for (double v : data) peak = std::max(peak, std::abs(v));
    modwriter::Sample s;
    s.name = name;
    s.baseRate = rate;
    s.data.reserve(data.size());
    const double scale = level * 32767.0 / peak;
    for (double v : data) s.data.push_back(static_cast<std::int16_t>(std::lround(v * scale)));
    return s;
}

// Short fade at the tail so one-shots never end on a step.
void fadeTail(std::vector<double>& data, std::size_t length) {
    length = std::min(length, data.size());
    for (std::size_t i = 0; i < length; ++i) {
        data[data.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(length);
    }
}

double harmonicWeight(Wave wave, int k, double pulseWidth) {
    switch (wave) {
    case Wave::Saw: return 1.0 / k;
    case Wave::Square: return (k % 2 == 1) ? 1.0 / k : 0.0;
    case Wave::Pulse: return std::sin(std::numbers::pi * k * pulseWidth) / k;
    case Wave::Triangle: return (k % 2 == 1) ? ((k / 2) % 2 == 0 ? 1.0 : -1.0) / (k * k) : 0.0;
    case Wave::Sine: return k == 1 ? 1.0 : 0.0;
    case Wave::Organ: {
        switch (k) {
        case 1: return 1.0;
        case 2: return 0.7;
        case 3: return 0.5;
        case 4: return 0.45;
        case 6: return 0.25;
        case 8: return 0.2;
        default: return 0.0;
        }
    }
    case Wave::Hollow: return (k % 2 == 1) ? 1.0 / std::sqrt(static_cast<double>(k)) / k : 0.15 / k;
    }
    return 0.0;
}

class OnePole {
public:
    explicit OnePole(double coefficient) : a_(coefficient) {}
    double low(double x) {
        y_ += a_ * (x - y_);
        return y_;
    }
    double high(double x) { return x - low(x); }

private:
    double a_;
    double y_ = 0;
};

// Second-order sections from the RBJ cookbook: low- or high-pass for band limits steeper than
// a one-pole, and the peaking band and high shelf of a tune's colour.
class Biquad {
public:
    Biquad(bool high, double hz, double rate, double q = 0.707) {
        const double w = kTwoPi * std::min(hz, rate * 0.45) / rate;
        const double alpha = std::sin(w) / (2 * q);
        const double c = std::cos(w);
        const double a0 = 1 + alpha;
        b0_ = (high ? (1 + c) / 2 : (1 - c) / 2) / a0;
        b1_ = (high ? -(1 + c) : (1 - c)) / a0;
        b2_ = b0_;
        a1_ = -2 * c / a0;
        a2_ = (1 - alpha) / a0;
    }
    static Biquad peaking(double hz, double db, double q, double rate) {
        const double a = std::pow(10.0, db / 40);
        const double w = kTwoPi * hz / rate;
        const double alpha = std::sin(w) / (2 * q);
        const double c = std::cos(w);
        return Biquad(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
    }
    static Biquad highShelf(double hz, double db, double rate) {
        const double a = std::pow(10.0, db / 40);
        const double w = kTwoPi * hz / rate;
        const double c = std::cos(w);
        const double alpha = std::sin(w) / 2 * std::sqrt(2.0);
        const double root = 2 * std::sqrt(a) * alpha;
        return Biquad(a * ((a + 1) + (a - 1) * c + root), -2 * a * ((a - 1) + (a + 1) * c),
            a * ((a + 1) + (a - 1) * c - root), (a + 1) - (a - 1) * c + root, 2 * ((a - 1) - (a + 1) * c),
            (a + 1) - (a - 1) * c - root);
    }
    double operator()(double x) {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
        : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Highest partial a pitched sample may hold so that, played up to topNote, nothing passes 12 kHz.
double partialLimit(int topNote) { return 12000.0 / (261.63 * std::pow(2.0, (topNote - 60) / 12.0)); }

} // namespace

modwriter::Sample tone(const std::string& name, const ToneParams& p) {
    const double rate = kTonalRate;
    const int loopLength = p.loopPeriods * kPeriod;
    const int attackLength = std::max(1, static_cast<int>(std::lround(p.attackLength * rate / kPeriod))) * kPeriod;
    const int total = attackLength + loopLength;
    const int voices = std::clamp(p.voices, 1, 3);
    const int harmonics = std::clamp(static_cast<int>(partialLimit(p.topNote)), 1, std::max(1, p.harmonics));

    // Per-sample phase step of the fundamental of each voice: (periods + d) cycles per loop.
    std::array<std::uint32_t, 3> step{};
    const int offsets[3] = {0, p.detune, -p.detune};
    for (int v = 0; v < voices; ++v) {
        const std::uint64_t cycles = static_cast<std::uint64_t>(p.loopPeriods + offsets[v]);
        step[static_cast<std::size_t>(v)] =
            static_cast<std::uint32_t>((cycles << 32) / static_cast<std::uint64_t>(loopLength));
    }
    const std::uint32_t subStep = static_cast<std::uint32_t>((std::uint64_t{1} << 32) / (2 * kPeriod));

    std::vector<double> weights(static_cast<std::size_t>(harmonics + 1));
    std::vector<double> amps(weights.size());
    for (int k = 1; k <= harmonics; ++k) weights[static_cast<std::size_t>(k)] = harmonicWeight(p.wave, k, p.pulseWidth);

    std::vector<double> out(static_cast<std::size_t>(total));
    const SineTable& sin = sine();
    Rng noise(static_cast<std::uint64_t>(p.harmonics * 977 + p.loopPeriods));
    Biquad breathHp(true, 600.0, rate), breathLp(false, std::min(9000.0, 261.63 * partialLimit(p.topNote)), rate);
    constexpr int kBlock = 64;
    double env = 0;
    for (int start = 0; start < total; start += kBlock) {
        const double t = std::min(start, attackLength) / rate;
        // In the loop the colour keeps moving: one slow sweep of the corner (and of the pulse width)
        // per loop, so the end meets the start.
        const double sweep = start < attackLength ? 0.0 : std::sin(kTwoPi * (start - attackLength) / loopLength);
        const double corner =
            (p.brightEnd + (p.brightStart - p.brightEnd) * std::exp(-t / std::max(1e-3, p.brightTime))) *
            (1.0 + p.movement * sweep);
        if (p.wave == Wave::Pulse && p.movement > 0) {
            for (int k = 1; k <= harmonics; ++k) {
                weights[static_cast<std::size_t>(k)] =
                    harmonicWeight(p.wave, k, p.pulseWidth * (1.0 + 0.6 * p.movement * sweep));
            }
        }
        for (int k = 1; k <= harmonics; ++k) {
            const double r = k / corner;
            amps[static_cast<std::size_t>(k)] = weights[static_cast<std::size_t>(k)] / (1.0 + r * r * r * r);
        }
        const int end = std::min(total, start + kBlock);
        for (int i = start; i < end; ++i) {
            const double ti = std::min(i, attackLength) / rate;
            if (ti < p.attack) {
                env = ti / p.attack;
            } else {
                env = p.sustain + (1.0 - p.sustain) * std::exp(-(ti - p.attack) / std::max(1e-3, p.decay));
            }
            double v = 0;
            for (int voice = 0; voice < voices; ++voice) {
                const std::uint32_t base = static_cast<std::uint32_t>(i) * step[static_cast<std::size_t>(voice)];
                std::uint32_t phase = base;
                for (int k = 1; k <= harmonics; ++k, phase += base) {
                    const double a = amps[static_cast<std::size_t>(k)];
                    if (a != 0.0) v += a * sin(phase);
                }
            }
            if (p.sub > 0) v += p.sub * sin(static_cast<std::uint32_t>(i) * subStep);
            out[static_cast<std::size_t>(i)] = v * env;
            if (p.breath > 0) {
                // Breath: band-limited noise that is loudest at the attack and stays under the tone.
                const double n = breathLp(breathHp(noise.bipolar()));
                const double b = ti < 0.08 ? 1.0 : 0.45;
                out[static_cast<std::size_t>(i)] += p.breath * b * n * env;
            }
        }
    }
    if (p.breath > 0) {
        // The breath is noise and does not repeat: the loop's last stretch fades into what led
        // into its start, so its end runs on into its start without a click.
        const int n = std::min({512, loopLength / 4, attackLength});
        for (int j = 0; j < n; ++j) {
            const double w = static_cast<double>(j + 1) / n;
            double& end = out[static_cast<std::size_t>(total - n + j)];
            end = (1 - w) * end + w * out[static_cast<std::size_t>(attackLength - n + j)];
        }
    }
    if (p.drive > 0) {
        double peak = 1e-9;
        for (double v : out) peak = std::max(peak, std::abs(v));
        const double norm = std::tanh(p.drive);
        for (double& v : out) v = std::tanh(p.drive * v / peak) / norm;
    }
    modwriter::Sample s = finish(name, out, kTonalRate);
    s.loop = true;
    s.loopStart = static_cast<std::uint32_t>(attackLength);
    s.loopEnd = static_cast<std::uint32_t>(total);
    return s;
}

modwriter::Sample pluck(const std::string& name, double brightness, double seconds, int topNote, std::uint64_t seed) {
    Rng rng(seed);
    const std::size_t length = static_cast<std::size_t>(seconds * kTonalRate);
    constexpr int kDelay = kPeriod - 1; // the averaging filter and the all-pass add the last sample
    std::vector<double> line(kDelay);
    OnePole shaping(std::clamp(brightness, 0.05, 1.0));
    for (double& v : line) v = shaping.low(rng.bipolar());
    double mean = 0;
    for (double v : line) mean += v;
    mean /= kDelay;
    for (double& v : line) v -= mean;

    const double loss = std::pow(0.001, 1.0 / (seconds * 261.63)); // -60 dB over the sample
    constexpr double kAllpass = 1.0 / 3.0;                         // half a sample of delay
    std::vector<double> out(length);
    double previous = 0, apIn = 0, apOut = 0;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const double current = line[pos];
        const double averaged = 0.5 * (current + previous) * loss;
        previous = current;
        const double shifted = kAllpass * averaged + apIn - kAllpass * apOut;
        apIn = averaged;
        apOut = shifted;
        line[pos] = shifted;
        pos = (pos + 1) % kDelay;
        out[i] = current;
    }
    Biquad lp1(false, 261.63 * partialLimit(topNote), kTonalRate),
        lp2(false, 261.63 * partialLimit(topNote), kTonalRate);
    for (double& v : out) v = lp2(lp1(v));
    fadeTail(out, length / 10);
    return finish(name, out, kTonalRate);
}

modwriter::Sample fm(const std::string& name, double ratio, double index, double indexTime, double seconds,
    int topNote) {
    const std::size_t length = static_cast<std::size_t>(seconds * kTonalRate);
    // Sidebands reach about (index + 1) * ratio above the carrier: keep them under the limit.
    index = std::min(index, std::max(0.2, (partialLimit(topNote) - 1.0) / ratio - 1.0));
    std::vector<double> out(length);
    const double w = kTwoPi / kPeriod;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kTonalRate;
        const double mod = index * std::exp(-t / indexTime) * std::sin(w * ratio * static_cast<double>(i));
        const double amp = std::min(1.0, t / 0.002) * std::exp(-t * 4.0 / seconds);
        out[i] = amp * std::sin(w * static_cast<double>(i) + mod);
    }
    fadeTail(out, length / 20);
    return finish(name, out, kTonalRate);
}

modwriter::Sample kick(const std::string& name, const KickParams& p, std::uint64_t seed) {
    Rng rng(seed);
    const std::size_t length = static_cast<std::size_t>((p.decay * 1.6 + 0.02) * kDrumRate);
    std::vector<double> out(length);
    double phase = 0;
    OnePole clickFilter(0.3);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        const double f = p.endHz + (p.startHz - p.endHz) * std::exp(-t / p.sweepTime);
        phase += f / kDrumRate;
        const double body = std::sin(kTwoPi * phase) * std::exp(-t / p.decay * 1.5);
        const double click = p.click * clickFilter.low(rng.bipolar()) * std::exp(-t / 0.004);
        out[i] = std::tanh(p.drive * (body + click)) / std::tanh(p.drive);
    }
    fadeTail(out, length / 8);
    return finish(name, out, kDrumRate);
}

modwriter::Sample snare(const std::string& name, double toneHz, double noiseDecay, double snap, std::uint64_t seed) {
    Rng rng(seed);
    const std::size_t length = static_cast<std::size_t>((noiseDecay * 2.5 + 0.02) * kDrumRate);
    std::vector<double> out(length);
    OnePole low(0.6), high(0.08);
    Biquad air(false, 9000.0, kDrumRate);
    double phase = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        const double f = toneHz * (1.0 + 0.5 * std::exp(-t / 0.01));
        phase += f / kDrumRate;
        const double body = std::sin(kTwoPi * phase) * std::exp(-t / 0.045);
        const double noise = air(high.high(low.low(rng.bipolar()))) * std::exp(-t / noiseDecay);
        out[i] = 0.8 * body + snap * 1.6 * noise;
    }
    fadeTail(out, length / 6);
    return finish(name, out, kDrumRate);
}

modwriter::Sample clap(const std::string& name, double decay, std::uint64_t seed) {
    Rng rng(seed);
    const std::size_t length = static_cast<std::size_t>((decay * 3 + 0.04) * kDrumRate);
    std::vector<double> out(length);
    OnePole low(0.45), high(0.12);
    Biquad air(false, 8000.0, kDrumRate);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        double env = std::exp(-t / decay);
        for (double burst : {0.0, 0.011, 0.022}) {
            if (t >= burst && t < burst + 0.011) env = std::max(env, std::exp(-(t - burst) / 0.004));
        }
        out[i] = air(high.high(low.low(rng.bipolar()))) * env;
    }
    fadeTail(out, length / 6);
    return finish(name, out, kDrumRate);
}

// Cymbals: six detuned square waves at inharmonic ratios for the metal, noise for the air,
// high-passed for the sizzle and low-passed so that little reaches 16 kHz.
std::vector<double> cymbal(std::size_t length, double toneScale, double noiseLevel, double lowHz, double highHz,
    const std::function<double(double)>& envelope, std::uint64_t seed) {
    Rng rng(seed);
    std::vector<double> out(length);
    const double freqs[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double phases[6] = {};
    Biquad hp1(true, lowHz, kMetalRate), hp2(true, lowHz, kMetalRate);
    Biquad lp1(false, highHz, kMetalRate), lp2(false, highHz, kMetalRate);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kMetalRate;
        double metal = 0;
        for (int k = 0; k < 6; ++k) {
            phases[k] += freqs[k] * toneScale * 1.7 / kMetalRate;
            metal += (phases[k] - std::floor(phases[k]) < 0.5) ? 1.0 : -1.0;
        }
        const double x = metal / 6.0 + noiseLevel * rng.bipolar();
        out[i] = lp2(lp1(hp2(hp1(x)))) * envelope(t);
    }
    return out;
}

modwriter::Sample hat(const std::string& name, double decay, double toneScale, double topHz, std::uint64_t seed) {
    const std::size_t length = static_cast<std::size_t>((decay * 3 + 0.01) * kMetalRate);
    auto out = cymbal(
        length, toneScale, 0.8, std::min(5500.0 * toneScale, topHz * 0.6), topHz,
        [decay](double t) { return std::exp(-t / decay) * std::min(1.0, t / 0.0008); }, seed);
    fadeTail(out, length / 5);
    return finish(name, out, kMetalRate);
}

modwriter::Sample crash(const std::string& name, double seconds, double topHz, std::uint64_t seed) {
    const std::size_t length = static_cast<std::size_t>(seconds * kMetalRate);
    auto out = cymbal(
        length, 1.35, 1.2, 3000.0, topHz,
        [seconds](double t) { return std::exp(-t * 3.5 / seconds) * std::min(1.0, t / 0.002); }, seed);
    fadeTail(out, length / 4);
    return finish(name, out, kMetalRate);
}

// Struck metal: inharmonic partials (a bar or a pipe), each decaying at its own rate.
modwriter::Sample metal(const std::string& name, double seconds, double spread) {
    const std::size_t length = static_cast<std::size_t>(seconds * kTonalRate);
    std::vector<double> out(length);
    const double ratios[6] = {1.0, 2.76 * spread, 5.40, 8.93, 3.17 * spread, 1.51};
    const double w = kTwoPi * 261.63 / kTonalRate;
    const double limit = partialLimit(84);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kTonalRate;
        double v = 0;
        for (int k = 0; k < 6; ++k) {
            if (ratios[k] > limit) continue;
            v += std::sin(w * ratios[k] * static_cast<double>(i)) * std::exp(-t * (1.5 + k * 1.2) * 2.0 / seconds) /
                 (1 + 0.4 * k);
        }
        out[i] = v * std::min(1.0, t / 0.001);
    }
    fadeTail(out, length / 10);
    return finish(name, out, kTonalRate);
}

modwriter::Sample tom(const std::string& name, double startHz, double endHz, double decay) {
    const std::size_t length = static_cast<std::size_t>(decay * 2.5 * kDrumRate);
    std::vector<double> out(length);
    double phase = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        phase += (endHz + (startHz - endHz) * std::exp(-t / 0.06)) / kDrumRate;
        out[i] = std::sin(kTwoPi * phase) * std::exp(-t / decay);
    }
    fadeTail(out, length / 6);
    return finish(name, out, kDrumRate);
}

modwriter::Sample shaker(const std::string& name, double decay, std::uint64_t seed) {
    Rng rng(seed);
    const std::size_t length = static_cast<std::size_t>((decay * 3 + 0.02) * kMetalRate);
    std::vector<double> out(length);
    OnePole hp(0.25), lp(0.6);
    Biquad air(false, 10000.0, kMetalRate);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / kMetalRate;
        const double env = std::min(1.0, t / 0.015) * std::exp(-t / decay);
        out[i] = air(lp.low(hp.high(rng.bipolar()))) * env;
    }
    fadeTail(out, length / 5);
    return finish(name, out, kMetalRate);
}

modwriter::Sample noise(const std::string& name, double hz, double octaves, double sway, int swells,
    std::uint64_t seed) {
    constexpr std::uint32_t kRate = 22050;
    constexpr std::size_t kLength = 47 * kRate / 10; // not a whole number of bars at any tempo the disk uses
    Rng rng(seed);
    std::vector<double> noise(kLength);
    for (double& v : noise) v = rng.bipolar();
    const double edge = std::pow(2.0, octaves / 2);
    Biquad hp1(true, hz / edge, kRate), hp2(true, hz / edge, kRate);
    Biquad lp1(false, hz * edge, kRate), lp2(false, hz * edge, kRate);
    // The filters go round the loop twice so that its end runs on into its start.
    std::vector<double> out(kLength);
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < kLength; ++i) out[i] = lp2(lp1(hp2(hp1(noise[i]))));
    }
    for (std::size_t i = 0; i < kLength; ++i) {
        const double phase = kTwoPi * static_cast<double>(swells) * static_cast<double>(i) / kLength;
        out[i] *= 1.0 - std::clamp(sway, 0.0, 1.0) * (0.5 + 0.5 * std::cos(phase));
    }
    modwriter::Sample s = finish(name, out, kRate);
    s.loop = true;
    s.loopStart = 0;
    s.loopEnd = static_cast<std::uint32_t>(kLength);
    return s;
}

namespace {

// Runs `chain` over a sample, as it is played: loops stay seamless, and the sample never gets
// louder than it was made.
void filterSample(modwriter::Sample& s, std::vector<std::function<double(double)>>& chain) {
    if (chain.empty()) return;
    const auto run = [&chain](double x) {
        for (auto& f : chain) x = f(x);
        return x;
    };

    std::vector<double> out(s.data.size());
    double before = 1;
    for (std::int16_t v : s.data) before = std::max(before, std::abs(static_cast<double>(v)));
    const std::size_t loopStart = s.loop ? s.loopStart : s.data.size();
    for (std::size_t i = 0; i < loopStart; ++i) out[i] = run(s.data[i]);
    if (s.loop) {
        // The loop goes round a few times so the filters settle into its cycle; the last
        // round is kept, and its end leads back into its start.
        for (int round = 0; round < 4; ++round) {
            for (std::size_t i = s.loopStart; i < s.loopEnd; ++i) out[i] = run(s.data[i]);
        }
        for (std::size_t i = s.loopEnd; i < s.data.size(); ++i) out[i] = run(s.data[i]);
    }
    double after = 1;
    for (double v : out) after = std::max(after, std::abs(v));
    const double scale = std::min(1.0, before / after);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double v = std::clamp(out[i] * scale, -32768.0, 32767.0);
        s.data[i] = static_cast<std::int16_t>(std::lround(v));
    }
}

} // namespace

void colourSample(modwriter::Sample& s, const Colour& colour, double semitones) {
    if (s.data.empty()) return;
    const double rate = s.baseRate;
    const double nyquist = 0.45 * rate;
    // A frequency heard at `hz` lies at this frequency of the sample's own rate.
    const double toSample = std::pow(2.0, -semitones / 12.0);
    std::vector<std::function<double(double)>> chain;
    if (colour.lowCutHz > 0) chain.emplace_back(Biquad(true, colour.lowCutHz * toSample, rate));
    if (colour.peakDb != 0 && colour.peakHz * toSample < nyquist) {
        chain.emplace_back(Biquad::peaking(colour.peakHz * toSample, colour.peakDb, 0.8, rate));
    }
    if (colour.shelfDb != 0 && 3000.0 * toSample < nyquist)
        chain.emplace_back(Biquad::highShelf(3000.0 * toSample, colour.shelfDb, rate));
    if (colour.highCutHz > 0 && colour.highCutHz * toSample < nyquist) {
        chain.emplace_back(Biquad(false, colour.highCutHz * toSample, rate));
    }
    filterSample(s, chain);
}

void eqSample(modwriter::Sample& s, const MixEq& eq, double semitones) {
    if (s.data.empty() || (eq.tiltDb == 0 && eq.bells.empty())) return;
    const double rate = s.baseRate;
    const double nyquist = 0.45 * rate;
    const double toSample = std::pow(2.0, -semitones / 12.0);
    std::vector<std::function<double(double)>> chain;
    if (eq.tiltDb != 0) {
        // Seven shelves an octave apart: the slope runs from about 63 Hz to 8 kHz and is flat
        // beyond, and 1 kHz keeps its level (four and a half shelves lie below it).
        const double keep = std::pow(10.0, -4.5 * eq.tiltDb / 20);
        chain.emplace_back([keep](double x) { return x * keep; });
        for (int k = 0; k < 7; ++k) {
            const double hz = 88.4 * std::pow(2.0, k) * toSample;
            if (hz < nyquist) chain.emplace_back(Biquad::highShelf(hz, eq.tiltDb, rate));
        }
    }
    for (const MixEq::Bell& b : eq.bells) {
        if (b.hz * toSample < nyquist) chain.emplace_back(Biquad::peaking(b.hz * toSample, b.db, 0.8, rate));
    }
    filterSample(s, chain);
}

void crush(modwriter::Sample& s, int bits) {
    const int shift = 16 - std::clamp(bits, 4, 16);
    // Rounded to the nearest step: truncation would shift every sample half a step down.
    const double step = static_cast<double>(1 << shift);
    const double highest = 32767.0 - (step - 1.0);
    for (std::int16_t& v : s.data)
        v = static_cast<std::int16_t>(std::clamp(std::round(v / step) * step, -32768.0, highest));
    if (bits <= 8) s.sixteenBit = false;
}

} // namespace composer::synth
