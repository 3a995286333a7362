// Audible onsets: peaks of the rise in mel-band levels that stand above their surroundings.
#pragma once

#include <cstddef>
#include <vector>

namespace musicstats {

struct OnsetSettings {
    std::size_t window = 1024;
    double hopSeconds = 0.010;
    int bands = 40;
    double maxAround = 0.030;     // a peak is the largest value this far back (and one hop ahead)
    double averageAround = 0.100; // the threshold averages the envelope this far either side
    double delta = 0.04;          // above that average, on the envelope scaled to 0..1
    double minGap = 0.040;
    double minRise = 0.25; // dB, mean over bands: below it a peak is rounding noise, not an onset
};

// Times (s) of the onsets of a mono signal.
std::vector<double> detectOnsets(const std::vector<float>& mono, double rate, const OnsetSettings& settings = {});

} // namespace musicstats
