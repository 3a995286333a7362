// Melody: rhythms and eight-bar phrases of scale degrees over a progression.
#pragma once

#include "Arrangement.h"
#include "Rng.h"
#include "Tune.h"

#include <array>
#include <utility>
#include <vector>

namespace composer {

// Onsets and lengths in rows; a negative length is a rest.
std::vector<std::pair<int, int>> rhythm(Rng& rng, double density, int rows);

class MelodyMaker {
public:
    MelodyMaker(const TuneSpec& t, const std::array<int, 4>& progression, std::uint64_t seed, double density, int center)
        : t_(t), prog_(progression), rng_(seed), density_(density), center_(center) {}

    // Eight bars: a two-bar motif, its answer, the motif again and a closing cadence.
    std::vector<MelodyNote> eightBars();

private:
    static void append(std::vector<MelodyNote>& out, const std::vector<MelodyNote>& notes, int offset);
    int chordAt(int bar) const { return prog_[static_cast<std::size_t>(bar % 4)]; }
    std::vector<MelodyNote> pitches(const std::vector<std::pair<int, int>>& rh, int firstBar, int previous);
    MelodyNote cadence(int bar, bool final);

    const TuneSpec& t_;
    std::array<int, 4> prog_;
    Rng rng_;
    double density_;
    int center_;
};

}  // namespace composer
