// Harmony: scales, keys, chord voicings and bass roots.
#pragma once

#include "Tune.h"

#include <array>
#include <vector>

namespace composer {

const std::array<int, 7>& scaleOf(Mode m);
int floorDiv(int a, int b);
int mod(int a, int b);

struct Key {
    int root;
    std::array<int, 7> scale;
    // Pitch of a scale degree counted from the tonic at `base` (a note number of the tonic).
    int pitch(int degree, int base) const { return base + 12 * floorDiv(degree, 7) + scale[static_cast<std::size_t>(mod(degree, 7))]; }
    int pc(int degree) const { return mod(root + scale[static_cast<std::size_t>(mod(degree, 7))], 12); }
};


std::vector<int> chordDegrees(int degree, bool sevenths);
// Close voicing of three chord tones near the previous voicing.
std::array<int, 3> voice(const Key& key, int degree, bool sevenths, const std::array<int, 3>& previous);
int bassPitch(const Key& key, int degree);
// The chord tone nearest a scale degree, counted in degrees.
int nearestChordDegree(int target, int chordRoot, bool sevenths);

}  // namespace composer
