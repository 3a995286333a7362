// The measuring tool's figures on signals and songs whose answers are known.
#include "Render.h"

#include "ChannelSolo.h"
#include "Composition.h"
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
#include <random>

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

} // namespace

TEST(MusicStatsSound, TonalSharesAndOnsetsOfPlainSignals) {
    const auto low = split(sine(440, 5, 0.5));
    EXPECT_LT(low.harmonicAbove / low.harmonic, 0.001);
    EXPECT_LT(low.percussive / (low.harmonic + low.percussive), 0.05);
    const auto high = split(sine(5000, 5, 0.5));
    EXPECT_GT(high.harmonicAbove / high.harmonic, 0.999);
    const auto ticks = split(clicks(4, 5));
    EXPECT_GT(ticks.percussive / (ticks.harmonic + ticks.percussive), 0.9);

    for (double rate : {2.0, 4.0, 8.0}) {
        EXPECT_NEAR(static_cast<double>(musicstats::detectOnsets(clicks(rate, 10), kRate).size()), 10 * rate, 1)
            << rate;
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
    withEffects.at(5, 0) = Cell{kNoteNone, 0, 32, 0, 0}; // the volume column does not count
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

namespace {

// Two bars of C, G, Am and F, two chords a bar, under a line that moves only by steps, with
// white noise and a low sine, both struck once in the second bar and held under the rest, and a
// short tick on every beat of every other bar; played four times over.
std::vector<std::uint8_t> chordsLineAndNoise(int transpose) {
    using namespace modwriter;
    Song song;
    song.title = "held";
    song.channels.assign(7, Channel{});
    Sample tone;
    tone.name = "sine";
    for (int i = 0; i < 6400; ++i) {
        tone.data.push_back(static_cast<std::int16_t>(6000 * std::sin(2 * std::numbers::pi * i / 100.0)));
    }
    tone.baseRate = 26163; // note 60 sounds at middle C
    tone.loop = true;
    tone.loopEnd = static_cast<std::uint32_t>(tone.data.size());
    Sample noise = tone;
    noise.name = "air";
    std::minstd_rand random(7);
    for (auto& v : noise.data) v = static_cast<std::int16_t>(static_cast<int>(random() % 24001) - 12000);
    song.samples = {tone, noise};
    const int chords[4][3] = {{48, 52, 55}, {43, 47, 50}, {45, 48, 52}, {41, 45, 48}};
    const int line[16] = {0, 2, 4, 5, 7, 9, 7, 5, 4, 2, 0, 2, 4, 5, 4, 2};
    Pattern first(32, 7);
    for (int c = 0; c < 4; ++c) {
        for (int v = 0; v < 3; ++v) first.at(8 * c, v) = Cell{chords[c][v] + transpose, 1, 40, 0, 0};
    }
    for (int n = 0; n < 16; ++n) first.at(2 * n, 3) = Cell{60 + line[n] + transpose, 1, 48, 0, 0};
    for (int beat = 0; beat < 4; ++beat) first.at(4 * beat, 6) = Cell{72, 2, 24, 'S', 0xC2};
    Pattern rest = first;
    first.at(16, 4) = Cell{60, 2, 64, 0, 0};
    first.at(16, 5) = Cell{36, 1, 64, 0, 0};
    song.patterns = {first, rest};
    song.orders = {0, 1, 1, 1};
    return writeSong(song, Format::IT);
}

} // namespace

TEST(MusicStatsPatterns, ChordsLineFiguresAndAHeldNoiseChannel) {
    std::vector<musicstats::CompositionStats> tunes;
    for (int transpose : {0, 5}) {
        const auto bytes = chordsLineAndNoise(transpose);
        auto module = musicstats::loadModule(bytes);
        const auto rendering = musicstats::renderModule(*module, 60);
        const auto [beat, bar] = musicstats::rowsPerBeatAndBar(bytes, rendering.rows.size() / rendering.seconds());
        EXPECT_EQ(beat, 4);
        EXPECT_EQ(bar, 16);
        // Rows at three ticks each: eight rows a beat.
        EXPECT_EQ(musicstats::rowsPerBeatAndBar(bytes, 16.7), std::make_pair(8, 32));
        auto stats = musicstats::measureComposition(*module, rendering.rows, beat, bar);
        stats.minutes = rendering.seconds() / 60;
        // Sixteen chords in eight bars: every one but the first is a change.
        EXPECT_DOUBLE_EQ(stats.chordChangesPerBar, 15.0 / 8);
        EXPECT_EQ(stats.distinctChords, 4);
        EXPECT_EQ(stats.busiestLine, 3);
        EXPECT_EQ(stats.lineIntervals, 63);
        EXPECT_DOUBLE_EQ(stats.lineSteps, 1.0);
        EXPECT_TRUE(stats.drumChannel[4]);
        EXPECT_TRUE(stats.drumChannel[6]);
        EXPECT_FALSE(stats.drumChannel[0]);
        // The bar where the noise and the sine are struck alone is no groove.
        EXPECT_EQ(stats.drumBars.size(), 1u);

        // Only the noise and the low sine are sparse enough to be heard alone; both are held
        // through most of the tune, and only the noise has no pitch.
        const auto solo = musicstats::soloSparseChannels(bytes, rendering, stats, 60);
        ASSERT_EQ(solo.size(), 2u);
        EXPECT_EQ(solo[0].channel, 4);
        EXPECT_GT(solo[0].soundingShare, 0.8);
        EXPECT_TRUE(solo[0].heldNoise) << solo[0].fluctuation;
        EXPECT_GT(solo[1].soundingShare, 0.8);
        EXPECT_FALSE(solo[1].heldNoise) << solo[1].fluctuation;
        tunes.push_back(std::move(stats));
    }
    // The same music a fourth higher: every figure, drum bar and chord run is the other tune's.
    musicstats::compareCompositions({&tunes[0], &tunes[1]});
    for (const auto& t : tunes) {
        EXPECT_DOUBLE_EQ(t.sharedFigures, 1.0);
        EXPECT_DOUBLE_EQ(t.sharedChordRuns, 1.0);
        EXPECT_DOUBLE_EQ(t.sharedDrumBars, 1.0);
    }
}
