// Chord symbols and the helpers that realise a progression as a score asks: held chords,
// a figure over the chord's notes, or stabs on a rhythm. Voicings move as little as they can.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace composer::score {

struct Chord {
    int root = 0;               // pitch class
    std::vector<int> intervals; // above the root, in semitones
    int bass = -1;              // pitch class of a slash bass; -1 = the root
};

struct Segment {
    std::optional<Chord> chord; // none: no chord
    int row = 0;
    int rows = 0;
};

struct Progression {
    std::vector<Segment> segments;
    int rows = 0;
};

// "F#m7b5/C" and the like; on failure returns nothing and says why.
std::optional<Chord> parseChord(const std::string& symbol, std::string& why);

struct CompStyle {
    std::string kind;                        // held, arp, stabs
    std::vector<std::pair<int, int>> figure; // arp: chord note (1-based; -1 rest, -2 hold) and octave
    int step = 1;                            // arp: rows a note
    std::string mask;                        // stabs: a character a row
    int around = 60;
    int notes = 0; // 0 = the chord's own count, at most 4
    int volume = -1;
};

struct CompEvent {
    int row;
    int channel;
    int note;
    int volume;
};

// Close voicing of `notes` notes of the chord: the nearest to `previous`, or centred on `around`.
std::vector<int> voiceChord(const Chord& chord, int notes, const std::vector<int>& previous, int around);

std::vector<CompEvent> realiseComp(const Progression& p, const CompStyle& style, int barRows, int& channels,
    std::string& why);

} // namespace composer::score
