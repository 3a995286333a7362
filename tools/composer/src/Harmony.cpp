#include "Harmony.h"

#include <cstdlib>

namespace composer {

const std::array<int, 7>& scaleOf(Mode m) {
    static const std::array<std::array<int, 7>, 7> scales = {{
        {0, 2, 4, 5, 7, 9, 11},  // Ionian
        {0, 2, 3, 5, 7, 9, 10},  // Dorian
        {0, 1, 3, 5, 7, 8, 10},  // Phrygian
        {0, 2, 4, 6, 7, 9, 11},  // Lydian
        {0, 2, 4, 5, 7, 9, 10},  // Mixolydian
        {0, 2, 3, 5, 7, 8, 10},  // Aeolian
        {0, 2, 3, 5, 7, 8, 11},  // harmonic minor
    }};
    return scales[static_cast<std::size_t>(m)];
}

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int mod(int a, int b) { return ((a % b) + b) % b; }

std::vector<int> chordDegrees(int degree, bool sevenths) {
    std::vector<int> d = {degree, degree + 2, degree + 4};
    if (sevenths) d.push_back(degree + 6);
    return d;
}

std::array<int, 3> voice(const Key& key, int degree, bool sevenths, const std::array<int, 3>& previous) {
    std::vector<int> pcs;
    for (int d : chordDegrees(degree, sevenths)) pcs.push_back(key.pc(d));
    if (pcs.size() == 4) pcs.erase(pcs.begin() + 2);  // keep root, third and seventh
    std::array<int, 3> best{};
    int bestCost = 1 << 30;
    for (int a = 52; a <= 76; ++a) {
        if (mod(a, 12) != pcs[0] && mod(a, 12) != pcs[1] && mod(a, 12) != pcs[2]) continue;
        for (int b = a + 1; b <= a + 12; ++b) {
            for (int c = b + 1; c <= a + 14 && c <= 79; ++c) {
                const int pa = mod(a, 12), pb = mod(b, 12), pc = mod(c, 12);
                bool all = true;
                for (int p : pcs) all = all && (p == pa || p == pb || p == pc);
                if (!all || pa == pb || pb == pc || pa == pc) continue;
                const int cost = std::abs(a - previous[0]) + std::abs(b - previous[1]) + std::abs(c - previous[2]) +
                                 std::abs((a + b + c) / 3 - 64) / 2;
                if (cost < bestCost) {
                    bestCost = cost;
                    best = {a, b, c};
                }
            }
        }
    }
    return best;
}

int bassPitch(const Key& key, int degree) {
    const int pc = key.pc(degree);
    return 36 + pc - (pc > 7 ? 12 : 0);
}

int nearestChordDegree(int target, int chordRoot, bool sevenths) {
    int best = target;
    int bestDist = 99;
    for (int d = target - 4; d <= target + 4; ++d) {
        for (int c : chordDegrees(chordRoot, sevenths)) {
            if (mod(d - c, 7) == 0 && std::abs(d - target) < bestDist) {
                bestDist = std::abs(d - target);
                best = d;
            }
        }
    }
    return best;
}

}  // namespace composer
