#include "Loudness.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace musicstats {

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;

    double step(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages, designed for any rate from their analogue prototypes
// (a high shelf of about +4 dB above 1.5 kHz and a high-pass near 38 Hz).
Biquad shelf(double rate) {
    const double f0 = 1681.974450955533, gain = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(std::numbers::pi * f0 / rate);
    const double vh = std::pow(10.0, gain / 20);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0, 2 * (k * k - 1) / a0,
        (1 - k / q + k * k) / a0};
}

Biquad highPass(double rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(std::numbers::pi * f0 / rate);
    const double a0 = 1 + k / q + k * k;
    return {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const double pos = p * static_cast<double>(v.size() - 1);
    const auto lo = static_cast<std::size_t>(pos);
    const std::size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (pos - static_cast<double>(lo)) * (v[hi] - v[lo]);
}

} // namespace

Level measureLevel(const std::vector<float>& stereo) {
    Level l;
    if (stereo.empty()) return l;
    double sum = 0, peak = 0;
    for (float s : stereo) {
        sum += static_cast<double>(s) * s;
        peak = std::max(peak, static_cast<double>(std::abs(s)));
    }
    l.rmsDb = 10 * std::log10(std::max(sum / static_cast<double>(stereo.size()), 1e-20));
    l.peakDb = 20 * std::log10(std::max(peak, 1e-10));
    return l;
}

std::vector<double> shortTermLoudness(const std::vector<float>& stereo, double rate) {
    const std::size_t frames = stereo.size() / 2;
    const auto hop = static_cast<std::size_t>(std::lround(rate / 10));
    // Mean square of the K-weighted signal, summed over both channels, per 100-ms block.
    std::vector<double> blocks(frames / hop, 0.0);
    for (int ch = 0; ch < 2; ++ch) {
        Biquad a = shelf(rate), b = highPass(rate);
        for (std::size_t i = 0; i < blocks.size() * hop; ++i) {
            const double y = b.step(a.step(stereo[2 * i + static_cast<std::size_t>(ch)]));
            blocks[i / hop] += y * y;
        }
    }
    std::vector<double> out;
    constexpr std::size_t kWindow = 30; // 3 s of 100-ms blocks
    for (std::size_t start = 0; start + kWindow <= blocks.size(); ++start) {
        double sum = 0;
        for (std::size_t i = start; i < start + kWindow; ++i) sum += blocks[i];
        const double meanSquare = sum / static_cast<double>(kWindow * hop);
        out.push_back(-0.691 + 10 * std::log10(std::max(meanSquare, 1e-20)));
    }
    return out;
}

double loudnessRange(const std::vector<double>& shortTerm) {
    std::vector<double> gated;
    for (double l : shortTerm) {
        if (l > -70) gated.push_back(l);
    }
    if (gated.empty()) return 0;
    double energy = 0;
    for (double l : gated) energy += std::pow(10.0, l / 10);
    const double relativeGate = 10 * std::log10(energy / static_cast<double>(gated.size())) - 20;
    std::vector<double> kept;
    for (double l : gated) {
        if (l > relativeGate) kept.push_back(l);
    }
    if (kept.empty()) return 0;
    return percentile(kept, 0.95) - percentile(kept, 0.10);
}

} // namespace musicstats
