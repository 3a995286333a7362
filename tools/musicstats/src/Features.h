// Everything measured on one tune: its sound and how its patterns are written.
#pragma once

#include "ChannelSolo.h"
#include "Composition.h"
#include "PatternStats.h"
#include "Rendering.h"
#include "Spectrogram.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

namespace musicstats {

constexpr std::size_t kFrame = 2048;
constexpr std::size_t kHop = 1024;
constexpr int kMelBands = 40;
constexpr int kMfccs = 13;             // coefficients 1..13; 0 (overall level) is left out
constexpr double kSegmentSeconds = 10; // excerpts for telling tunes apart
constexpr double kTonalSplitHz = 2000;
constexpr int kMedianWidth = 17;
constexpr double kDuplicateSeconds = 2;
constexpr double kDuplicateCorrelation = 0.9;

using Timbre = std::array<double, kMfccs>;

// Centres of the third-octave bands measured, 63 Hz to 20 kHz.
const std::vector<double>& thirdOctaveCentres();

struct TuneStats {
    std::string name;
    double seconds = 0;
    bool truncated = false;
    double rmsDb = -200, peakDb = -200;

    std::vector<Timbre> segments;      // mean MFCCs of each whole 10-s segment
    std::vector<double> thirdOctaveDb; // long-term band energy, dB below the loudest band
    double band16kDb = 0;
    double tonalHighShare = 0;  // harmonic energy above 2 kHz / all harmonic energy
    double percussiveShare = 0; // P / (H + P)
    double centroidStdHz = 0;
    double onsetsPerSecond = 0;
    double loudnessRange = 0; // LU
    double nearDuplicateShare = 0;
    PatternStats patterns;
    CompositionStats composition;
    std::vector<SoloChannel> soloChannels; // the sparse channels, each heard alone
    int heldNoiseChannels() const {
        return static_cast<int>(
            std::count_if(soloChannels.begin(), soloChannels.end(), [](const SoloChannel& c) { return c.heldNoise; }));
    }

    // Filled in against the rest of the set.
    int excerpts = 0;
    int identified = 0;
    std::vector<std::string> nearest; // per excerpt (first, middle, last): the tune of its nearest other excerpt
    double spectrumCorrelation = std::numeric_limits<double>::quiet_NaN(); // median to every other tune
};

// Fills the sound figures of `stats` from a rendering.
void measureSound(const Rendering& rendering, TuneStats& stats);

// Mean MFCC 1..13 per segment of segmentFrames frames, from mel levels in dB (frame-major).
std::vector<Timbre> segmentTimbres(const std::vector<float>& melDb, std::size_t bands, std::size_t segmentFrames);

// Long-term energy of each third-octave band, in dB below the loudest band.
std::vector<double> thirdOctaveSpectrum(const Spectrogram& s);

// Standard deviation of the spectral centroid over the frames that are not silent.
double centroidSpread(const Spectrogram& s);

} // namespace musicstats
