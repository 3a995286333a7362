#include "Repetition.h"

#include <cmath>

namespace musicstats {

double nearDuplicateShare(const std::vector<float>& melDb, std::size_t bands, std::size_t windowFrames,
    double threshold) {
    const std::size_t frames = melDb.size() / bands, pairs = bands / 2, w = windowFrames;
    if (frames < 2 * w || pairs == 0) return 0;

    // Band-major pair levels, each band shifted to zero mean so the float sums stay exact enough.
    std::vector<std::vector<float>> x(pairs, std::vector<float>(frames));
    for (std::size_t p = 0; p < pairs; ++p) {
        double mean = 0;
        for (std::size_t f = 0; f < frames; ++f) {
            const double a = melDb[f * bands + 2 * p], b = melDb[f * bands + 2 * p + 1];
            const double level = 10 * std::log10(std::pow(10.0, a / 10) + std::pow(10.0, b / 10));
            x[p][f] = static_cast<float>(level);
            mean += level;
        }
        mean /= static_cast<double>(frames);
        for (float& v : x[p]) v = static_cast<float>(v - mean);
    }

    // Length of every window after removing its own band means, from running sums.
    const std::size_t starts = frames - w + 1;
    std::vector<double> norm(starts, 0.0);
    for (std::size_t p = 0; p < pairs; ++p) {
        double s1 = 0, s2 = 0;
        for (std::size_t f = 0; f < w; ++f) {
            s1 += x[p][f];
            s2 += static_cast<double>(x[p][f]) * x[p][f];
        }
        for (std::size_t s = 0;; ++s) {
            norm[s] += s2 - s1 * s1 / static_cast<double>(w);
            if (s + 1 == starts) break;
            const double out = x[p][s], in = x[p][s + w];
            s1 += in - out;
            s2 += in * in - out * out;
        }
    }
    for (double& n : norm) n = std::sqrt(std::max(n, 0.0));

    constexpr double kFlat = 1e-3;
    std::vector<float> dot(starts);
    std::size_t counted = 0, windows = 0;
    for (std::size_t q = 0; q + w <= frames; q += w) {
        if (norm[q] < kFlat) continue;
        ++windows;
        std::fill(dot.begin(), dot.end(), 0.0f);
        for (std::size_t p = 0; p < pairs; ++p) {
            double mean = 0;
            for (std::size_t t = 0; t < w; ++t) mean += x[p][q + t];
            mean /= static_cast<double>(w);
            const float* row = x[p].data();
            for (std::size_t t = 0; t < w; ++t) {
                const auto c = static_cast<float>(x[p][q + t] - mean);
                const float* shifted = row + t;
                for (std::size_t s = 0; s < starts; ++s) dot[s] += c * shifted[s];
            }
        }
        for (std::size_t s = 0; s < starts; ++s) {
            if ((s + w > q && q + w > s) || norm[s] < kFlat) continue;
            if (dot[s] / (norm[q] * norm[s]) >= threshold) {
                ++counted;
                break;
            }
        }
    }
    return windows == 0 ? 0 : static_cast<double>(counted) / static_cast<double>(windows);
}

} // namespace musicstats
