#include "Drums.h"

#include <cmath>

namespace composer {

namespace {

struct DrumBar {
    const char* kick;
    const char* snare;
    const char* open;
    const char* perc;
};

DrumBar drumsFor(Groove g) {
    switch (g) {
        case Groove::FourFloor: return {"x...x...x...x...", "....x.......x...", "..o...o...o...o.", "................"};
        case Groove::Breakbeat: return {"x.....x...x.....", "....x..g.g..x..g", "..............o.", "................"};
        case Groove::HalfTime: return {"x......x..x.....", "........x.......", "................", "..g...g...g...g."};
        case Groove::Shuffle: return {"x.....x.x.......", "....x.......x...", "................", "..............g."};
        case Groove::Electro: return {"x..x..x...x..x..", "....x.......x...", "................", "......g.......g."};
        case Groove::Ambient: return {"x.........x.....", "........g.......", "................", "g.g.g.g.g.g.g.g."};
        case Groove::Rock: return {"x.......x.x.....", "....x.......x...", "................", "................"};
        case Groove::Drive: return {"x.x...x.x.x...x.", "....x.......x...", "................", "..............o."};
    }
    return {"x...............", "................", "................", "................"};
}

int hitVolume(char c) {
    switch (c) {
        case 'x': return 64;
        case 'o': return 48;
        case 'g': return 26;
        default: return -1;
    }
}

// Ticks between retriggers for a roll: two or three strokes a row.
std::uint8_t rollParam(const Style& style) { return static_cast<std::uint8_t>(std::max(1, style.speed / 3)); }

}  // namespace

void writeDrums(Grid& g, const TuneSpec& t, const Style& style, DrumLevel level, bool fill, bool crashAtStart, Rng& rng) {
    if (crashAtStart && level != DrumLevel::None) g.note(0, kPerc, 60, iCrash, 34);
    if (level == DrumLevel::None) return;
    const DrumBar d = drumsFor(t.groove);
    const int bars = g.rows() / kBarRows;
    int hatCount = 0;
    for (int bar = 0; bar < bars; ++bar) {
        const int phrase = bar % 4;
        const bool lastBar = bar == bars - 1;
        const bool fillBar = level == DrumLevel::Full && ((fill && lastBar) || (phrase == 3 && rng.chance(0.5)));
        // Each bar of the phrase moves or adds a kick of its own.
        int extraKick = -1;
        if (phrase == 1 || phrase == 3) {
            static const int candidates[] = {3, 7, 11, 14, 15, 6};
            for (int tries = 0; tries < 4 && extraKick < 0; ++tries) {
                const int c = candidates[rng.range(0, 5)];
                if (d.kick[c] == '.' && d.snare[c] != 'x') extraKick = c;
            }
        }
        for (int step = 0; step < kBarRows; ++step) {
            const int r = bar * kBarRows + step;
            const int jitter = rng.range(-3, 3);
            const bool inFill = fillBar && step >= 12;
            if (level != DrumLevel::Hats) {
                int kv = hitVolume(d.kick[step]);
                if (level == DrumLevel::Light && step % 8 != 0) kv = -1;
                if (step == extraKick && level == DrumLevel::Full) kv = 44 + jitter;
                if (kv > 0) g.note(r, kKick, 60, iKick, kv);
                const int sv = hitVolume(d.snare[step]);
                if (level == DrumLevel::Full && !inFill) {
                    if (sv > 0) {
                        g.note(r, kSnare, 60, iSnare, sv * 7 / 8 + jitter);
                    } else if (step % 2 == 1 && rng.chance(0.22)) {
                        // Ghost notes start past the snare's crack.
                        g.note(r, kSnare, 60, iSnare, 14 + rng.range(0, 6));
                        g.effect(r, kSnare, 'O', 0x04);
                    }
                }
            }
            const bool open = hitVolume(d.open[step]) > 0 || (phrase == 3 && step == 14);
            if (step % style.hatSteps == 0 || open) {
                const int accent = step % 4 == 0 ? 58 : (step % 2 == 0 ? 46 : 34);
                if (open && level != DrumLevel::Light) {
                    g.note(r, kHat, 60, iOpenHat, 48 + jitter);
                } else {
                    g.note(r, kHat, 60, iHat, accent + jitter);
                }
                if (style.hatPan && hatCount % 2 == 0) {
                    const double a = std::sin(hatCount * 0.2);
                    g.effect(r, kHat, 'X', static_cast<std::uint8_t>(128 + std::lround(70 * a)));
                }
                ++hatCount;
            }
            if (style.shaker && level == DrumLevel::Full && step % 2 == 1) {
                g.note(r, kShaker, 60, iShaker, (step % 4 == 3 ? 34 : 24) + jitter);
            }
            const int pv = hitVolume(d.perc[step]);
            if (pv > 0 && level == DrumLevel::Full && !(r == 0 && crashAtStart)) {
                const int pitch = style.metalPerc ? 60 + 5 * ((bar + step / 4) % 3) : 60;
                g.note(r, kPerc, pitch, iPerc, pv * 3 / 4 + jitter);
            }
        }
        if (fillBar) {
            // The phrase closes on a roll (retriggered snare) or a run down the toms.
            const int row = bar * kBarRows;
            if (style.toms) {
                static const int pitches[] = {72, 69, 65, 62, 58, 55};
                for (int k = 0; k < 4; ++k) g.note(row + 12 + k, kTom, pitches[(k + bar) % 6], iTom, 46 + 3 * k);
                g.note(row + 12, kSnare, 60, iSnare, 40);
                g.effect(row + 12, kSnare, 'Q', rollParam(style));
            } else {
                for (int k = 0; k < 4; ++k) {
                    g.note(row + 12 + k, kSnare, 60, iSnare, 24 + 6 * k);
                    if (k % 2 == 1 || lastBar) g.effect(row + 12 + k, kSnare, 'Q', rollParam(style));
                }
            }
        }
    }
}

}  // namespace composer
