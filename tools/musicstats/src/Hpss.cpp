#include "Hpss.h"

#include <algorithm>
#include <cmath>

namespace musicstats {

namespace {

std::size_t mirror(long i, std::size_t n) {
    const long len = static_cast<long>(n);
    while (i < 0 || i >= len) i = i < 0 ? -i - 1 : 2 * len - i - 1;
    return static_cast<std::size_t>(i);
}

}  // namespace

void slidingMedian(const float* in, std::size_t n, int width, float* out) {
    if (n == 0) return;
    const long half = width / 2;
    std::vector<float> window;
    window.reserve(static_cast<std::size_t>(width));
    for (long i = -half; i <= half; ++i) window.push_back(in[mirror(i, n)]);
    std::sort(window.begin(), window.end());
    out[0] = window[static_cast<std::size_t>(half)];
    for (std::size_t i = 1; i < n; ++i) {
        const long c = static_cast<long>(i);
        const float leaving = in[mirror(c - 1 - half, n)];
        window.erase(std::lower_bound(window.begin(), window.end(), leaving));
        const float entering = in[mirror(c + half, n)];
        window.insert(std::upper_bound(window.begin(), window.end(), entering), entering);
        out[i] = window[static_cast<std::size_t>(half)];
    }
}

HpssEnergy separateHarmonicPercussive(const Spectrogram& s, int width, double splitHz) {
    HpssEnergy e;
    const std::size_t frames = s.frames, bins = s.bins;
    if (frames == 0) return e;
    std::vector<float> magnitude(s.power.size());
    for (std::size_t i = 0; i < magnitude.size(); ++i) magnitude[i] = std::sqrt(s.power[i]);

    std::vector<float> across(frames * bins);  // harmonic estimate: median across time
    std::vector<float> column(frames), filtered(frames);
    for (std::size_t k = 0; k < bins; ++k) {
        for (std::size_t f = 0; f < frames; ++f) column[f] = magnitude[f * bins + k];
        slidingMedian(column.data(), frames, width, filtered.data());
        for (std::size_t f = 0; f < frames; ++f) across[f * bins + k] = filtered[f];
    }
    std::vector<float> down(bins);  // percussive estimate: median across frequency
    for (std::size_t f = 0; f < frames; ++f) {
        const float* row = magnitude.data() + f * bins;
        slidingMedian(row, bins, width, down.data());
        for (std::size_t k = 0; k < bins; ++k) {
            const double h2 = static_cast<double>(across[f * bins + k]) * across[f * bins + k];
            const double p2 = static_cast<double>(down[k]) * down[k];
            const double total = h2 + p2;
            if (total <= 0) continue;
            const double power = s.power[f * bins + k];
            // The soft masks split each cell's energy between the two parts without loss.
            const double harmonic = power * h2 / total;
            e.harmonic += harmonic;
            e.percussive += power * p2 / total;
            if (static_cast<double>(k) * s.binHz > splitHz) e.harmonicAbove += harmonic;
        }
    }
    return e;
}

}  // namespace musicstats
