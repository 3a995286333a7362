// Turns one catalogue entry into a song: the form's sections, the parts played in each,
// and the ending, cut into patterns.
#pragma once

#include "Arrangement.h"
#include "Harmony.h"
#include "Melody.h"
#include "Rng.h"
#include "Style.h"
#include "Tune.h"

#include "modwriter/Song.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace composer {

class Arranger {
public:
    explicit Arranger(const TuneSpec& t) : t_(t), style_(styleOf(t)), key_{t.root, scaleOf(t.mode)} {}

    modwriter::Song build();

private:
    // Module layout
    int addPattern(modwriter::Song& song, const Grid& g, int start, int rows, bool padTo64);
    void layOutChannels(modwriter::Song& song);
    void writeTiming(modwriter::Song& song) const;

    // Form
    std::vector<Section> plan(int units) const;
    const std::array<int, 4>& progression(Kind k) const;
    int chordAt(Kind k, int bar) const { return progression(k)[static_cast<std::size_t>(bar % 4)]; }
    Grid section(const Section& s);
    static void copyInto(Grid& to, const Grid& from, int offset);
    Grid ending(int rows);

    // Parts
    void writeBass(Grid& g, const Section& s, int bar, int chord);
    void writeComp(Grid& g, int row, const std::array<int, 3>& voicing, Rng& rng);
    // Every other phrase the arpeggio climbs an octave.
    void writeArp(Grid& g, int row, const std::array<int, 3>& voicing, int vol, int octave);
    void writeLead(Grid& g, const std::vector<MelodyNote>& melody, bool echo, int channel = kLead, int transpose = 0);
    void writePadSwell(Grid& g, int row, int rows, int volume);
    void sparkle(Grid& g, int channel, int row, int rows, bool minor);
    void writeCounter(Grid& g, const Section& s, Rng& rng);
    void applySwing(Grid& g);

    const TuneSpec& t_;
    const Style& style_;
    Key key_;
    std::vector<int> channels_;  // logical channels that become the song's channels, in order
    std::map<std::string, std::vector<int>> cache_;
};

}  // namespace composer
