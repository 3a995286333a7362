// Level and loudness of a stereo rendering: RMS, peak and the loudness range.
#pragma once

#include <vector>

namespace musicstats {

struct Level {
    double rmsDb = -200;  // over both channels, dBFS
    double peakDb = -200; // largest sample, dBFS
};

Level measureLevel(const std::vector<float>& stereo);

// Short-term loudness (K-weighted, 3-s windows every 100 ms), in LUFS.
std::vector<double> shortTermLoudness(const std::vector<float>& stereo, double rate);

// Loudness range in LU: 95th minus 10th percentile of the short-term loudness,
// gated at -70 LUFS and 20 LU below the mean of what passes that gate.
double loudnessRange(const std::vector<double>& shortTerm);

} // namespace musicstats
