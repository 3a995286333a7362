#include "Features.h"

#include "Hpss.h"
#include "Loudness.h"
#include "Onsets.h"
#include "Repetition.h"
#include "Spectrogram.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace musicstats {

const std::vector<double>& thirdOctaveCentres() {
    static const std::vector<double> centres = [] {
        std::vector<double> c;
        for (int n = -12; n <= 13; ++n) c.push_back(1000 * std::pow(2.0, n / 3.0));
        return c;
    }();
    return centres;
}

std::vector<Timbre> segmentTimbres(const std::vector<float>& melDb, std::size_t bands, std::size_t segmentFrames) {
    const std::size_t frames = melDb.size() / bands;
    std::vector<Timbre> out;
    const double n = static_cast<double>(bands);
    std::vector<double> dct(static_cast<std::size_t>(kMfccs) * bands);
    for (int c = 1; c <= kMfccs; ++c) {
        for (std::size_t b = 0; b < bands; ++b) {
            dct[static_cast<std::size_t>(c - 1) * bands + b] =
                std::sqrt(2 / n) * std::cos(std::numbers::pi * c * (static_cast<double>(b) + 0.5) / n);
        }
    }
    for (std::size_t start = 0; start + segmentFrames <= frames; start += segmentFrames) {
        Timbre mean{};
        for (std::size_t f = start; f < start + segmentFrames; ++f) {
            const float* row = melDb.data() + f * bands;
            for (std::size_t c = 0; c < mean.size(); ++c) {
                for (std::size_t b = 0; b < bands; ++b) mean[c] += dct[c * bands + b] * row[b];
            }
        }
        for (double& v : mean) v /= static_cast<double>(segmentFrames);
        out.push_back(mean);
    }
    return out;
}

std::vector<double> thirdOctaveSpectrum(const Spectrogram& s) {
    const auto& centres = thirdOctaveCentres();
    std::vector<double> energy(centres.size(), 0.0);
    std::vector<double> longTerm(s.bins, 0.0);
    for (std::size_t f = 0; f < s.frames; ++f) {
        const float* row = s.frame(f);
        for (std::size_t k = 0; k < s.bins; ++k) longTerm[k] += row[k];
    }
    const double edge = std::pow(2.0, 1.0 / 6);
    for (std::size_t b = 0; b < centres.size(); ++b) {
        for (std::size_t k = 0; k < s.bins; ++k) {
            const double hz = static_cast<double>(k) * s.binHz;
            if (hz >= centres[b] / edge && hz < centres[b] * edge) energy[b] += longTerm[k];
        }
    }
    std::vector<double> db(energy.size());
    for (std::size_t b = 0; b < energy.size(); ++b) db[b] = 10 * std::log10(std::max(energy[b], 1e-20));
    const double top = *std::max_element(db.begin(), db.end());
    for (double& v : db) v -= top;
    return db;
}

double centroidSpread(const Spectrogram& s) {
    constexpr double kSilent = 1e-5; // frame power about 100 dB below a full-scale tone
    double n = 0, sum = 0, sumSq = 0;
    for (std::size_t f = 0; f < s.frames; ++f) {
        const float* row = s.frame(f);
        double power = 0, mag = 0, weighted = 0;
        for (std::size_t k = 0; k < s.bins; ++k) {
            const double m = std::sqrt(static_cast<double>(row[k]));
            power += row[k];
            mag += m;
            weighted += m * static_cast<double>(k) * s.binHz;
        }
        if (power < kSilent) continue;
        const double c = weighted / mag;
        n += 1;
        sum += c;
        sumSq += c * c;
    }
    if (n < 2) return 0;
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, sumSq / n - mean * mean));
}

void measureSound(const Rendering& rendering, TuneStats& stats) {
    stats.seconds = rendering.seconds();
    stats.truncated = rendering.truncated;
    const Level level = measureLevel(rendering.stereo);
    stats.rmsDb = level.rmsDb;
    stats.peakDb = level.peakDb;
    stats.loudnessRange = loudnessRange(shortTermLoudness(rendering.stereo, kRate));

    const std::vector<float> mono = rendering.mono();
    stats.onsetsPerSecond =
        stats.seconds > 0 ? static_cast<double>(detectOnsets(mono, kRate).size()) / stats.seconds : 0;

    const Spectrogram s = powerSpectrogram(mono, kFrame, kHop, kRate);
    const MelBank bank(kFrame, kMelBands, kRate);
    const std::vector<float> melDb = melLevelsDb(s, bank);
    const auto framesPer = [](double seconds) { return static_cast<std::size_t>(seconds * kRate / kHop); };
    stats.segments = segmentTimbres(melDb, kMelBands, framesPer(kSegmentSeconds));
    stats.nearDuplicateShare =
        nearDuplicateShare(melDb, kMelBands, framesPer(kDuplicateSeconds), kDuplicateCorrelation);

    stats.thirdOctaveDb = thirdOctaveSpectrum(s);
    const auto& centres = thirdOctaveCentres();
    const auto at16k = std::min_element(centres.begin(), centres.end(),
        [](double a, double b) { return std::abs(a - 16000) < std::abs(b - 16000); });
    stats.band16kDb = stats.thirdOctaveDb[static_cast<std::size_t>(at16k - centres.begin())];
    stats.centroidStdHz = centroidSpread(s);

    const HpssEnergy e = separateHarmonicPercussive(s, kMedianWidth, kTonalSplitHz);
    stats.tonalHighShare = e.harmonic > 0 ? e.harmonicAbove / e.harmonic : 0;
    stats.percussiveShare = e.harmonic + e.percussive > 0 ? e.percussive / (e.harmonic + e.percussive) : 0;
}

} // namespace musicstats
