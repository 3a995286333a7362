#include "Onsets.h"

#include "Spectrogram.h"

#include <algorithm>
#include <cmath>

namespace musicstats {

namespace {

// Mean over bands of the positive change in level from one frame to the next.
std::vector<double> onsetEnvelope(const std::vector<float>& levels, std::size_t bands) {
    const std::size_t frames = levels.size() / bands;
    std::vector<double> env(frames, 0.0);
    for (std::size_t f = 1; f < frames; ++f) {
        double sum = 0;
        for (std::size_t b = 0; b < bands; ++b) {
            sum += std::max(0.0f, levels[f * bands + b] - levels[(f - 1) * bands + b]);
        }
        env[f] = sum / static_cast<double>(bands);
    }
    return env;
}

} // namespace

std::vector<double> detectOnsets(const std::vector<float>& mono, double rate, const OnsetSettings& settings) {
    const auto hop = static_cast<std::size_t>(std::lround(settings.hopSeconds * rate));
    const Spectrogram s = powerSpectrogram(mono, settings.window, hop, rate);
    const MelBank bank(settings.window, settings.bands, rate);
    std::vector<double> env = onsetEnvelope(melLevelsDb(s, bank), static_cast<std::size_t>(settings.bands));
    std::vector<double> onsets;
    if (env.size() < 3) return onsets;
    const std::vector<double> rise = env;
    const auto [lo, hi] = std::minmax_element(env.begin(), env.end());
    const double low = *lo, range = *hi - *lo;
    if (range <= 0) return onsets;
    for (double& v : env) v = (v - low) / range;

    const auto frames = static_cast<long>(env.size());
    const auto frameOf = [&](double seconds) { return static_cast<long>(std::lround(seconds / settings.hopSeconds)); };
    const long preMax = frameOf(settings.maxAround), avg = frameOf(settings.averageAround),
               gap = frameOf(settings.minGap);
    std::vector<double> prefix(env.size() + 1, 0.0);
    for (std::size_t i = 0; i < env.size(); ++i) prefix[i + 1] = prefix[i] + env[i];
    long last = -gap - 1;
    for (long f = 0; f < frames; ++f) {
        const double v = env[static_cast<std::size_t>(f)];
        const long from = std::max(0L, f - preMax), to = std::min(frames - 1, f + 1);
        bool isMax = true;
        for (long g = from; g <= to && isMax; ++g) isMax = env[static_cast<std::size_t>(g)] <= v;
        if (!isMax) continue;
        const long a0 = std::max(0L, f - avg), a1 = std::min(frames, f + avg + 1);
        const double mean = (prefix[static_cast<std::size_t>(a1)] - prefix[static_cast<std::size_t>(a0)]) /
                            static_cast<double>(a1 - a0);
        if (v < mean + settings.delta || f - last < gap || rise[static_cast<std::size_t>(f)] < settings.minRise)
            continue;
        onsets.push_back(
            static_cast<double>(f) * settings.hopSeconds + static_cast<double>(settings.window) / 2 / rate);
        last = f;
    }
    return onsets;
}

} // namespace musicstats
