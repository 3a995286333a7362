// Loading modules through libopenmpt and measuring what they sound like.
#pragma once

#include <libopenmpt/libopenmpt.hpp>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace musictest {

constexpr int kRate = 44100;

std::unique_ptr<openmpt::module> load(const std::vector<std::uint8_t>& bytes);
std::unique_ptr<openmpt::module> loadFile(const std::filesystem::path& path);

// Whole song rendered at 44100 Hz stereo float, stopping at the song's end.
std::vector<float> render(openmpt::module& m, double maxSeconds = 1200);

struct Analysis {
    double seconds = 0; // rendered length
    double rmsDb = -200;
    double peakDb = -200;
    double quietestWindowDb = -200;  // RMS of the quietest 10 s window after the first 2 s
    std::vector<double> fingerprint; // level-free mean spectrum in log bands, dB
    double airDb = 0;                // share of the energy at 15 kHz and above, dB
};

Analysis analyse(const std::vector<float>& stereo);

// Mean absolute difference of two fingerprints, in dB.
double fingerprintDistance(const std::vector<double>& a, const std::vector<double>& b);

// Frequency of the strongest partial of a stretch of the left channel, in Hz.
double dominantFrequency(const std::vector<float>& stereo, double fromSeconds, double seconds);

} // namespace musictest
