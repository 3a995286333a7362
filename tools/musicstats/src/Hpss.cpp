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

} // namespace

void slidingMedian(const float* in, std::size_t n, int width, float* out) {
    if (n == 0) return;
    const long half = width / 2;
    std::vector<float> window;
    window.reserve(static_cast<std::size_t>(width));
    for (long i = -half; i <= half; ++i) window.push_back(in[mirror(i, n)]);
    std::sort(window.begin(), window.end());
    float* w = window.data();
    const auto last = static_cast<std::size_t>(width - 1);
    out[0] = w[half];
    for (std::size_t i = 1; i < n; ++i) {
        const long c = static_cast<long>(i);
        const float leaving = in[mirror(c - 1 - half, n)];
        const float entering = in[mirror(c + half, n)];
        // Replace the leaving value in place and slide the entering one to its sorted position.
        std::size_t p = 0;
        while (p < last && w[p] != leaving) ++p;
        while (p < last && w[p + 1] < entering) {
            w[p] = w[p + 1];
            ++p;
        }
        while (p > 0 && w[p - 1] > entering) {
            w[p] = w[p - 1];
            --p;
        }
        w[p] = entering;
        out[i] = w[half];
    }
}

HpssEnergy separateHarmonicPercussive(const Spectrogram& s, int width, double splitHz) {
    HpssEnergy e;
    const std::size_t frames = s.frames, bins = s.bins;
    if (frames == 0) return e;
    std::vector<float> magnitude(s.power.size());
    for (std::size_t i = 0; i < magnitude.size(); ++i) magnitude[i] = std::sqrt(s.power[i]);

    // Harmonic estimate: median across time. Bins are taken a cache line's worth at a time
    // because the spectrogram is stored frame by frame.
    constexpr std::size_t kBlock = 16;
    std::vector<float> across(frames * bins);
    std::vector<float> columns(kBlock * frames), filtered(frames);
    for (std::size_t k0 = 0; k0 < bins; k0 += kBlock) {
        const std::size_t n = std::min(kBlock, bins - k0);
        for (std::size_t f = 0; f < frames; ++f) {
            for (std::size_t j = 0; j < n; ++j) columns[j * frames + f] = magnitude[f * bins + k0 + j];
        }
        for (std::size_t j = 0; j < n; ++j) {
            slidingMedian(columns.data() + j * frames, frames, width, filtered.data());
            std::copy(filtered.begin(), filtered.end(), columns.begin() + static_cast<std::ptrdiff_t>(j * frames));
        }
        for (std::size_t f = 0; f < frames; ++f) {
            for (std::size_t j = 0; j < n; ++j) across[f * bins + k0 + j] = columns[j * frames + f];
        }
    }
    std::vector<float> down(bins); // percussive estimate: median across frequency
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

} // namespace musicstats
