// The arranger's vocabulary: logical channels and instrument slots, the row grid a
// section is written into, and the sections of a form.
#pragma once

#include "modwriter/Song.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace composer {

using modwriter::Cell;
using modwriter::kNoteCut;
using modwriter::kNoteOff;

// Logical channels; a tune's style decides which of them become channels of its song.
enum Channel {
    kKick, kSnare, kHat, kPerc, kBass, kPad0, kPad1, kPad2, kArp, kLead, kEcho, kCounter,
    kShaker, kTom, kLead2, kBed, kControl, kChannels
};
enum Ins { iKick = 1, iSnare, iHat, iOpenHat, iCrash, iPerc, iBass, iPad, iArp, iLead, iCounter, iShaker, iTom, iBed };

constexpr int kBarRows = 16;
constexpr int kPatternRows = 64;
constexpr int kBarsPerPattern = kPatternRows / kBarRows;

// One section's worth of rows for all channels, later cut into patterns.
class Grid {
public:
    explicit Grid(int rows) : rows_(rows), cells_(static_cast<std::size_t>(rows * kChannels)) {}
    int rows() const { return rows_; }
    Cell& at(int r, int c) { return cells_[static_cast<std::size_t>(r * kChannels + c)]; }
    const Cell& at(int r, int c) const { return cells_[static_cast<std::size_t>(r * kChannels + c)]; }
    void note(int r, int c, int pitch, int ins, int vol) {
        if (r < 0 || r >= rows_) return;
        Cell& cell = at(r, c);
        cell.note = std::clamp(pitch, 12, 107);
        cell.instrument = ins;
        cell.volume = std::clamp(vol, 0, 64);
    }
    void stop(int r, int c, int how = kNoteOff) {
        if (r < 0 || r >= rows_) return;
        if (at(r, c).note == modwriter::kNoteNone) at(r, c).note = how;
    }
    void volume(int r, int c, int vol) {
        if (r < 0 || r >= rows_) return;
        if (at(r, c).volume < 0) at(r, c).volume = std::clamp(vol, 0, 64);
    }
    void effect(int r, int c, char e, std::uint8_t param) {
        if (r < 0 || r >= rows_) return;
        if (at(r, c).effect == 0) {
            at(r, c).effect = e;
            at(r, c).param = param;
        }
    }

private:
    int rows_;
    std::vector<Cell> cells_;
};

enum class Kind { Intro, A, B, Break, C, Outro };

struct Section {
    Kind kind;
    int variant;
    int units;  // patterns of four bars
};

struct MelodyNote {
    int row;
    int length;
    int degree;
    int volume;
};
}  // namespace composer
