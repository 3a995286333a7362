// In-memory tracker song that the module writer turns into S3M or IT files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace modwriter {

// Pitches follow the tracker convention: 60 plays a sample at its base rate (C-5 in IT, C-4 in S3M).
constexpr int kNoteNone = -1;
constexpr int kNoteOff = -2;
constexpr int kNoteCut = -3;
constexpr int kMaxNote = 119;

struct Cell {
    int note = kNoteNone;
    int instrument = 0; // 1-based; 0 = none. Refers to instruments in IT songs that have them, samples otherwise.
    int volume = -1;    // volume column 0..64; -1 = empty
    char effect = 0;    // effect letter 'A'..'Z' as both formats name them; 0 = none
    std::uint8_t param = 0;

    bool empty() const { return note == kNoteNone && instrument == 0 && volume < 0 && effect == 0; }
    bool operator==(const Cell&) const = default;
};

class Pattern {
public:
    Pattern(int rows, int channels)
        : rows_(rows), channels_(channels), cells_(static_cast<std::size_t>(rows * channels)) {}
    int rows() const { return rows_; }
    int channels() const { return channels_; }
    Cell& at(int row, int channel) { return cells_[static_cast<std::size_t>(row * channels_ + channel)]; }
    const Cell& at(int row, int channel) const { return cells_[static_cast<std::size_t>(row * channels_ + channel)]; }

private:
    int rows_;
    int channels_;
    std::vector<Cell> cells_;
};

struct Sample {
    std::string name;
    std::vector<std::int16_t> data; // mono PCM; 8-bit samples keep the high byte
    bool sixteenBit = true;
    std::uint32_t baseRate = 8363; // playback rate of note 60
    bool loop = false;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0; // exclusive
    int volume = 64;           // default volume 0..64
    int globalVolume = 64;     // IT only, 0..64
    int pan = -1;              // IT only, 0..64; -1 = none
};

struct EnvelopePoint {
    int tick = 0;
    int value = 64; // 0..64 for volume, -32..32 for pan and pitch
};

// IT instrument: one sample across the keyboard, or a sample per note, with optional volume, pan and
// pitch envelopes.
struct Instrument {
    std::string name;
    int sample = 1;  // 1-based
    int fadeout = 0; // 0..1024 per tick after note-off
    enum class NewNoteAction : std::uint8_t { Cut = 0, Continue = 1, NoteOff = 2, Fade = 3 };
    NewNoteAction newNoteAction = NewNoteAction::Cut;
    int globalVolume = 128;                    // 0..128
    std::vector<EnvelopePoint> volumeEnvelope; // empty = none
    int sustainPoint = -1;                     // index into volumeEnvelope; -1 = none
    std::vector<EnvelopePoint> panEnvelope;    // values -32 (left) .. 32 (right) around the channel's pan
    std::vector<EnvelopePoint> pitchEnvelope;  // values -32 .. 32 half-semitones
    std::vector<int> keyboard; // 120 entries, the sample (1-based) each note plays; empty = `sample` throughout
};

struct Channel {
    int pan = 32;    // 0 (left) .. 64 (right)
    int volume = 64; // 0..64
};

struct Song {
    std::string title;
    std::vector<Channel> channels;
    std::vector<Sample> samples;
    std::vector<Instrument> instruments; // IT only; empty = sample mode
    std::vector<Pattern> patterns;
    std::vector<int> orders; // pattern indices; the song ends after the last one
    int speed = 6;           // ticks per row
    int tempo = 125;         // beats per minute, 32..255
    int globalVolume = 128;  // 0..128 (halved for S3M)
    int mixVolume = 48;      // 0..128 (S3M: master volume 16..127)
    int rowsPerBeat = 4;     // IT row highlights: where a tracker (and a reader) sees beats
    int rowsPerBar = 16;     // ... and bars
};

} // namespace modwriter
