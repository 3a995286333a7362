#include "Melody.h"

#include "Harmony.h"

namespace composer {

std::vector<std::pair<int, int>> rhythm(Rng& rng, double density, int rows) {
    std::vector<std::pair<int, int>> out;  // (onset, length); negative length = rest
    int r = 0;
    while (r < rows) {
        const double u = rng.real();
        const bool even = (r % 8) == 0 && r + 8 <= rows;
        if (even && u < 0.25 * (1.0 - density)) {
            out.push_back({r, 8});
            r += 8;
        } else if (u < 0.35 * (1.0 - density) + 0.05) {
            out.push_back({r, -4});
            r += 4;
        } else if (u < 0.55) {
            out.push_back({r, 4});
            r += 4;
        } else if (u < 0.55 + 0.25 * density + 0.15) {
            out.push_back({r, 2});
            out.push_back({r + 2, 2});
            r += 4;
        } else if (u < 0.85) {
            out.push_back({r, 3});
            out.push_back({r + 3, 1});
            r += 4;
        } else {
            out.push_back({r, 1});
            out.push_back({r + 1, 1});
            out.push_back({r + 2, 2});
            r += 4;
        }
    }
    return out;
}

std::vector<MelodyNote> MelodyMaker::eightBars() {
    const auto motifRhythm = rhythm(rng_, density_, 2 * kBarRows);
    const auto answerRhythm = rhythm(rng_, density_, kBarRows);
    std::vector<MelodyNote> out;
    int previous = center_;
    const auto motif = pitches(motifRhythm, 0, previous);
    append(out, motif, 0);
    previous = motif.empty() ? previous : motif.back().degree;
    append(out, pitches(answerRhythm, 2, previous), 2 * kBarRows);
    out.push_back(cadence(3, false));
    append(out, motif, 4 * kBarRows);
    previous = motif.empty() ? previous : motif.back().degree;
    const auto closeRhythm = rhythm(rng_, density_ * 0.8, kBarRows);
    append(out, pitches(closeRhythm, 6, previous), 6 * kBarRows);
    out.push_back(cadence(7, true));
    return out;
}

void MelodyMaker::append(std::vector<MelodyNote>& out, const std::vector<MelodyNote>& notes, int offset) {
    for (MelodyNote n : notes) {
        n.row += offset;
        out.push_back(n);
    }
}

std::vector<MelodyNote> MelodyMaker::pitches(const std::vector<std::pair<int, int>>& rh, int firstBar, int previous) {
    std::vector<MelodyNote> out;
    int degree = previous;
    for (auto [row, length] : rh) {
        if (length < 0) continue;
        const int bar = firstBar + row / kBarRows;
        static const int steps[] = {-2, -1, -1, -1, 1, 1, 1, 2, -3, 3, 0, 2, -2, 4};
        int candidate = degree + steps[rng_.range(0, 13)];
        if (candidate > center_ + 5) candidate -= 3;
        if (candidate < center_ - 4) candidate += 3;
        if (row % 4 == 0) candidate = nearestChordDegree(candidate, chordAt(bar), t_.sevenths);
        degree = candidate;
        const int vol = (row % 8 == 0 ? 50 : 42) + rng_.range(-3, 3);
        out.push_back({row, length, degree, vol});
    }
    return out;
}

MelodyNote MelodyMaker::cadence(int bar, bool final) {
    const int chord = chordAt(bar);
    int degree = nearestChordDegree(final ? center_ : center_ + 1, chord, false);
    if (final) {
        // Close on the tonic whenever the chord holds it.
        for (int c : chordDegrees(chord, false)) {
            if (mod(c, 7) == 0) degree = center_;
        }
    }
    return {bar * kBarRows, final ? 14 : 12, degree, 48};
}

}  // namespace composer

