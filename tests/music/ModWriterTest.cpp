// The module writer, checked by reading its output back through libopenmpt.
#include "Render.h"

#include "modwriter/ModWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

using namespace modwriter;

namespace {

Sample sine(const std::string& name, int period, bool sixteenBit) {
    Sample s;
    s.name = name;
    s.sixteenBit = sixteenBit;
    s.baseRate = static_cast<std::uint32_t>(period * 440); // one period per cycle: note 60 sounds at 440 Hz
    for (int i = 0; i < period * 200; ++i) {
        s.data.push_back(static_cast<std::int16_t>(std::lround(16000 * std::sin(2 * std::numbers::pi * i / period))));
    }
    s.loop = true;
    s.loopStart = static_cast<std::uint32_t>(period * 100);
    s.loopEnd = static_cast<std::uint32_t>(s.data.size());
    return s;
}

// Five channels, three patterns played as 0 1 0 2, three samples.
Song roundTripSong(bool withInstruments) {
    Song song;
    song.title = "round trip";
    song.speed = 5;
    song.tempo = 140;
    for (int c = 0; c < 5; ++c) song.channels.push_back({c * 16, 64 - c * 4});
    song.samples = {sine("sine16", 64, true), sine("sine8", 100, false), sine("low", 128, true)};
    song.samples[2].loop = false;
    if (withInstruments) {
        for (int i = 1; i <= 3; ++i) {
            Instrument ins;
            ins.name = "instrument " + std::to_string(i);
            ins.sample = i;
            ins.fadeout = 64;
            ins.volumeEnvelope = {{0, 0}, {4, 64}, {20, 32}};
            ins.sustainPoint = 2;
            song.instruments.push_back(ins);
        }
    }
    for (int p = 0; p < 3; ++p) {
        Pattern pat(64, 5);
        for (int c = 0; c < 5; ++c) pat.at(16 + p, c) = Cell{48 + c + p, 1 + c % 3, 40 + c, 0, 0};
        pat.at(8, 1) = Cell{kNoteNone, 0, -1, 'H', 0x44};
        pat.at(9, 2) = Cell{kNoteOff, 0, -1, 0, 0};
        pat.at(10, 3) = Cell{kNoteNone, 0, 20, 'D', 0x03};
        song.patterns.push_back(pat);
    }
    song.orders = {0, 1, 0, 2};
    return song;
}

class WriterRoundTrip : public ::testing::TestWithParam<Format> {};

TEST_P(WriterRoundTrip, LibopenmptReadsBackWhatWasWritten) {
    const bool it = GetParam() == Format::IT;
    const Song song = roundTripSong(it);
    auto m = musictest::load(writeSong(song, GetParam()));
    EXPECT_EQ(m->get_metadata("type"), it ? "it" : "s3m");
    EXPECT_EQ(m->get_metadata("title"), "round trip");
    EXPECT_EQ(m->get_num_channels(), 5);
    EXPECT_EQ(m->get_num_patterns(), 3);
    ASSERT_EQ(m->get_num_orders(), 4);
    for (int o = 0; o < 4; ++o) EXPECT_EQ(m->get_order_pattern(o), song.orders[static_cast<std::size_t>(o)]);
    EXPECT_EQ(m->get_num_samples(), 3);
    EXPECT_EQ(m->get_sample_names(), (std::vector<std::string>{"sine16", "sine8", "low"}));
    EXPECT_EQ(m->get_num_instruments(), it ? 3 : 0);
    if (it) {
        EXPECT_EQ(m->get_instrument_names()[1], "instrument 2");
    }
    EXPECT_EQ(m->get_current_speed(), 5);
    EXPECT_EQ(m->get_current_tempo(), 140);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(m->get_pattern_num_rows(p), 64);
        for (int c = 0; c < 5; ++c) {
            // libopenmpt counts notes from 1.
            EXPECT_EQ(m->get_pattern_row_channel_command(p, 16 + p, c, openmpt::module::command_note), 48 + c + p + 1);
            EXPECT_EQ(m->get_pattern_row_channel_command(p, 16 + p, c, openmpt::module::command_instrument), 1 + c % 3);
            EXPECT_EQ(m->get_pattern_row_channel_command(p, 16 + p, c, openmpt::module::command_volume), 40 + c);
        }
        EXPECT_EQ(m->format_pattern_row_channel_command(p, 8, 1, openmpt::module::command_effect), "H");
        EXPECT_EQ(m->get_pattern_row_channel_command(p, 8, 1, openmpt::module::command_parameter), 0x44);
        EXPECT_EQ(m->format_pattern_row_channel_command(p, 10, 3, openmpt::module::command_effect), "D");
        EXPECT_EQ(m->get_pattern_row_channel_command(p, 10, 3, openmpt::module::command_volume), 20);
        EXPECT_NE(m->format_pattern_row_channel_command(p, 9, 2, openmpt::module::command_note), "...");
    }
}

TEST_P(WriterRoundTrip, SongStopsAfterItsLastOrderOrAtAPatternBreak) {
    Song song = roundTripSong(GetParam() == Format::IT);
    song.speed = 6;
    song.tempo = 125;
    auto m = musictest::load(writeSong(song, GetParam()));
    // Four patterns of 64 rows at 0.12 s a row.
    EXPECT_NEAR(m->get_duration_seconds(), 4 * 7.68, 0.01);
    const auto audio = musictest::render(*m, 60);
    EXPECT_NEAR(static_cast<double>(audio.size() / 2) / musictest::kRate, 4 * 7.68, 0.2);

    song.orders = {0};
    song.patterns[0].at(31, 4) = Cell{kNoteNone, 0, -1, 'C', 0};
    EXPECT_NEAR(musictest::load(writeSong(song, GetParam()))->get_duration_seconds(), 32 * 0.12, 0.01);
}

TEST_P(WriterRoundTrip, NoteSixtyPlaysTheSampleAtItsBaseRate) {
    for (bool sixteenBit : {true, false}) {
        Song song;
        song.title = "pitch";
        song.channels = {Channel{}};
        song.samples = {sine("a", 64, sixteenBit)};
        Pattern pat(64, 1);
        pat.at(0, 0) = Cell{60, 1, 64, 0, 0};
        pat.at(32, 0) = Cell{72, 1, 64, 0, 0};
        song.patterns.push_back(pat);
        song.orders = {0};
        auto m = musictest::load(writeSong(song, GetParam()));
        const auto audio = musictest::render(*m, 10);
        EXPECT_NEAR(musictest::dominantFrequency(audio, 0.5, 2.0), 440.0, 12.0) << (sixteenBit ? "16-bit" : "8-bit");
        EXPECT_NEAR(musictest::dominantFrequency(audio, 4.4, 2.0), 880.0, 24.0) << (sixteenBit ? "16-bit" : "8-bit");
    }
}

TEST(ItInstrument, EnvelopesAndKeyboardShapeItsNotes) {
    Song song;
    song.title = "envelopes";
    song.channels = {Channel{}};
    song.samples = {sine("a", 64, true)};
    Instrument ins;
    ins.name = "right and up";
    ins.panEnvelope = {{0, 32}, {10, 32}};   // hard right
    ins.pitchEnvelope = {{0, 24}, {10, 24}}; // twelve semitones up
    song.instruments = {ins};
    Pattern pat(64, 1);
    pat.at(0, 0) = Cell{60, 1, 64, 0, 0};
    song.patterns.push_back(pat);
    song.orders = {0};
    auto audio = musictest::render(*musictest::load(writeSong(song, Format::IT)), 3);
    double left = 0, right = 0;
    for (std::size_t i = 0; i + 1 < audio.size(); i += 2) {
        left += audio[i] * audio[i];
        right += audio[i + 1] * audio[i + 1];
        audio[i] = audio[i + 1]; // the pitch is read from the right
    }
    EXPECT_GT(right, 20 * left);
    EXPECT_NEAR(musictest::dominantFrequency(audio, 0.5, 1.0), 880.0, 24.0);

    song.instruments[0].panEnvelope[1].value = 33;
    EXPECT_THROW(writeSong(song, Format::IT), WriteError);

    // A keyboard that hands the notes from 72 up to a second sample, tuned a fifth higher.
    song.instruments[0] = Instrument{};
    song.samples.push_back(sine("b", 64, true));
    song.samples[1].baseRate = song.samples[1].baseRate * 3 / 2;
    song.instruments[0].keyboard.assign(120, 1);
    for (int n = 72; n < 120; ++n) song.instruments[0].keyboard[static_cast<std::size_t>(n)] = 2;
    song.patterns[0].at(0, 0) = Cell{72, 1, 64, 0, 0};
    const auto fifth = musictest::render(*musictest::load(writeSong(song, Format::IT)), 3);
    EXPECT_NEAR(musictest::dominantFrequency(fifth, 0.5, 1.0), 1320.0, 36.0);
    song.instruments[0].keyboard[100] = 3;
    EXPECT_THROW(writeSong(song, Format::IT), WriteError);
}

INSTANTIATE_TEST_SUITE_P(Formats, WriterRoundTrip, ::testing::Values(Format::S3M, Format::IT),
    [](const auto& info) { return info.param == Format::IT ? std::string("IT") : std::string("S3M"); });

TEST(WriterErrors, RejectsSongsTheFormatCannotHold) {
    const Song song = roundTripSong(false);
    const auto changed = [&](const std::function<void(Song&)>& change) {
        Song s = song;
        change(s);
        return s;
    };
    const Song tooWide = changed([](Song& s) {
        s.channels.resize(17);
        for (auto& p : s.patterns) p = Pattern(64, 17);
    });
    const Song shortPattern = changed([](Song& s) { s.patterns[1] = Pattern(32, 5); });
    // S3M holds 16 channels and 64-row patterns only; IT holds both.
    for (const Song& s : {tooWide, shortPattern}) {
        EXPECT_THROW(writeSong(s, Format::S3M), WriteError);
        EXPECT_NO_THROW(writeSong(s, Format::IT));
    }
    EXPECT_THROW(writeSong(roundTripSong(true), Format::S3M), WriteError) << "instruments in S3M";
    EXPECT_THROW(writeSong(changed([](Song& s) { s.orders.push_back(3); }), Format::IT), WriteError);
    EXPECT_THROW(writeSong(changed([](Song& s) { s.patterns[0].at(0, 0).note = 120; }), Format::IT), WriteError);
    EXPECT_THROW(writeSong(changed([](Song& s) {
        s.samples[0].loopEnd = static_cast<std::uint32_t>(s.samples[0].data.size() + 1);
    }),
                     Format::S3M),
        WriteError);
    EXPECT_THROW(writeSong(changed([](Song& s) { s.patterns[0].at(0, 0).instrument = 4; }), Format::IT), WriteError);
    EXPECT_THROW(writeSong(changed([](Song& s) { s.tempo = 20; }), Format::IT), WriteError);
}

TEST(WriterErrors, ReportsUnwritablePathsAndUnknownExtensions) {
    EXPECT_THROW(saveSong(roundTripSong(false), Format::S3M, "/nonexistent-dir/x.s3m"), WriteError);
    EXPECT_THROW(formatForPath("tune.mod"), WriteError);
    EXPECT_EQ(formatForPath("A/B/TUNE.S3M"), Format::S3M);
    EXPECT_EQ(formatForPath("--UNDER-.IT"), Format::IT);
}

} // namespace
