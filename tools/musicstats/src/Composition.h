// What a tune's pattern data plays, read as a musician reads a score: its chords, its busiest
// line, its figures, drum bars and chord runs (the last three compared across a folder).
#pragma once

#include "Rendering.h"

#include <array>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

namespace musicstats {

// Pattern highlights of IT files; every other format, and an IT file without them, gets these.
constexpr int kDefaultRowsPerBeat = 4;
constexpr int kDefaultRowsPerBar = 16;

struct Chord {
    int root = 0;    // pitch class, 0 = C
    int quality = 0; // major, minor, diminished, augmented; dominant, major, minor, half-diminished seventh
    bool operator==(const Chord&) const = default;
};

// Best-matching chord of a pitch-class profile; `previous` is kept unless another chord fits
// clearly better, so a passing note does not read as a change. Empty when fewer than two pitch
// classes carry weight.
struct ChordMatch {
    bool found = false;
    Chord chord;
};
ChordMatch matchChord(const std::array<double, 12>& profile, const ChordMatch& previous);

using Key = std::vector<int>;

struct CompositionStats {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    int rowsPerBeat = kDefaultRowsPerBeat;
    int rowsPerBar = kDefaultRowsPerBar;
    double minutes = 0;

    std::vector<int> noteOns;      // per channel, every note-on
    std::vector<bool> drumChannel; // per channel: most of its notes come from drum voices

    double chordChangesPerBar = kNone; // over the bars that have harmony
    int distinctChords = 0;

    int busiestLine = -1; // channel; -1 when no channel plays a melodic line
    int lineIntervals = 0;
    double lineRepeats = kNone, lineSteps = kNone, lineThirds = kNone, lineLeaps = kNone;

    // Distinct items of the tune, for comparing tunes of one folder.
    std::set<Key> figures;   // five-note figures of the melodic voices: 4 signed intervals, each with the rows it takes
    std::set<Key> drumBars;  // rows per bar, then each drum voice's onset positions in the bar (grooves only)
    std::set<Key> chordRuns; // four successive chords: first quality, then relative root and quality

    // Filled in against the rest of the folder: the share of the items above that another tune has.
    double sharedFigures = kNone, sharedDrumBars = kNone, sharedChordRuns = kNone;
};

// Rows per beat and bar of a module file: the IT header's highlights, or the defaults, doubled
// while the rows played (rowsPerSecond) would make more than kFastestBeat beats a minute.
constexpr double kFastestBeat = 200;
std::pair<int, int> rowsPerBeatAndBar(const std::vector<std::uint8_t>& file, double rowsPerSecond);

CompositionStats measureComposition(openmpt::module& module, const std::vector<PlayedRow>& rows, int rowsPerBeat,
    int rowsPerBar);

// Shares of each tune's figures, drum bars and chord runs that occur in another of `tunes`.
void compareCompositions(std::vector<CompositionStats*> tunes);

} // namespace musicstats
