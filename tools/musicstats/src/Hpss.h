// Harmonic/percussive split of a spectrogram by median filtering (across time for
// the harmonic part, across frequency for the percussive part), with soft masks.
#pragma once

#include "Spectrogram.h"

namespace musicstats {

struct HpssEnergy {
    double harmonic = 0;
    double harmonicAbove = 0; // the harmonic part's energy above the split frequency
    double percussive = 0;
};

HpssEnergy separateHarmonicPercussive(const Spectrogram& s, int width, double splitHz);

// Median of each `width`-long neighbourhood, mirrored at the ends; width is odd.
void slidingMedian(const float* in, std::size_t n, int width, float* out);

} // namespace musicstats
