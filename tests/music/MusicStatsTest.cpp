// The measuring tool's figures on signals and songs whose answers are known.
#include "Render.h"

#include "Features.h"
#include "Hpss.h"
#include "Loudness.h"
#include "Onsets.h"
#include "PatternStats.h"
#include "Rendering.h"
#include "Spectrogram.h"
#include "modwriter/ModWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kRate = musicstats::kRate;

std::vector<float> sine(double hz, double seconds, double amplitude) {
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / kRate));
    }
    return out;
}

std::vector<float> clicks(double perSecond, double seconds) {
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate), 0.0f);
    for (double t = 0.5 / perSecond; t < seconds; t += 1 / perSecond) out[static_cast<std::size_t>(t * kRate)] = 0.9f;
    return out;
}

musicstats::HpssEnergy split(const std::vector<float>& mono) {
    return musicstats::separateHarmonicPercussive(musicstats::powerSpectrogram(mono, 2048, 1024, kRate), 17, 2000);
}

}  // namespace

TEST(MusicStatsSound, TonalSharesAndOnsetsOfPlainSignals) {
    const auto low = split(sine(440, 5, 0.5));
    EXPECT_LT(low.harmonicAbove / low.harmonic, 0.001);
    EXPECT_LT(low.percussive / (low.harmonic + low.percussive), 0.05);
    const auto high = split(sine(5000, 5, 0.5));
    EXPECT_GT(high.harmonicAbove / high.harmonic, 0.999);
    const auto ticks = split(clicks(4, 5));
    EXPECT_GT(ticks.percussive / (ticks.harmonic + ticks.percussive), 0.9);

    for (double rate : {2.0, 4.0, 8.0}) {
        EXPECT_NEAR(static_cast<double>(musicstats::detectOnsets(clicks(rate, 10), kRate).size()), 10 * rate, 1) << rate;
    }
    EXPECT_LE(musicstats::detectOnsets(sine(440, 10, 0.5), kRate).size(), 1u);
}

TEST(MusicStatsSound, LoudnessOfASteadyToneAndOfAStep) {
    // A 1 kHz tone at -23 dBFS in both channels reads -23 LUFS.
    const auto tone = sine(997, 10, std::pow(10.0, -23.0 / 20));
    std::vector<float> stereo;
    for (float s : tone) stereo.insert(stereo.end(), {s, s});
    const auto shortTerm = musicstats::shortTermLoudness(stereo, kRate);
    ASSERT_FALSE(shortTerm.empty());
    EXPECT_NEAR(shortTerm[shortTerm.size() / 2], -23.0, 0.1);
    EXPECT_LT(musicstats::loudnessRange(shortTerm), 0.1);

    // Half the time 10 dB quieter: the range spans the step.
    std::vector<float> step = stereo;
    for (std::size_t i = 0; i < step.size() / 2; ++i) step[i] *= static_cast<float>(std::pow(10.0, -10.0 / 20));
    EXPECT_NEAR(musicstats::loudnessRange(musicstats::shortTermLoudness(step, kRate)), 10.0, 0.5);
}

TEST(MusicStatsPatterns, EffectRowsLettersAndReplaysFollowTheOrderList) {
    using namespace modwriter;
    Song song;
    song.title = "effects";
    song.channels = {Channel{}, Channel{}};
    Sample s;
    s.name = "tone";
    for (int i = 0; i < 6400; ++i) s.data.push_back(static_cast<std::int16_t>(8000 * std::sin(i * 0.1)));
    s.loop = true;
    s.loopEnd = static_cast<std::uint32_t>(s.data.size());
    song.samples = {s};
    Pattern withEffects(8, 2), plain(8, 2);
    withEffects.at(0, 0) = Cell{60, 1, 64, 0, 0};
    withEffects.at(1, 0) = Cell{kNoteNone, 0, -1, 'D', 0x02};
    withEffects.at(5, 1) = Cell{kNoteNone, 0, -1, 'H', 0x44};
    withEffects.at(5, 0) = Cell{kNoteNone, 0, 32, 0, 0};  // the volume column does not count
    plain.at(0, 0) = Cell{62, 1, 64, 0, 0};
    plain.at(3, 1) = Cell{kNoteNone, 0, 20, 0, 0};
    song.patterns = {withEffects, plain};
    song.orders = {0, 1, 0, 1, 1};

    auto module = musictest::load(writeSong(song, Format::IT));
    const auto rendering = musicstats::renderModule(*module, 60);
    ASSERT_EQ(rendering.rows.size(), 40u);
    const auto stats = musicstats::measurePatterns(*module, rendering.rows);
    EXPECT_DOUBLE_EQ(stats.effectRowShare, 4.0 / 40);
    EXPECT_EQ(stats.effectLetters, "DH");
    EXPECT_DOUBLE_EQ(stats.patternReplays, 1 - 2.0 / 5);
}
