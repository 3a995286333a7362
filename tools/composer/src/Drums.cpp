#include "Drums.h"

namespace composer {

namespace {

struct DrumBar {
    const char* kick;
    const char* snare;
    const char* hat;
    const char* open;
    const char* perc;
};

DrumBar drumsFor(Groove g) {
    switch (g) {
        case Groove::FourFloor: return {"x...x...x...x...", "....x.......x...", "gg.ggg.ggg.ggg.g", "..o...o...o...o.", "................"};
        case Groove::Breakbeat: return {"x.....x...x.....", "....x..g.g..x..g", "o.o.o.o.o.o.o.o.", "..............o.", "................"};
        case Groove::HalfTime: return {"x......x..x.....", "........x.......", "o.g.o.g.o.g.o.g.", "................", "..g...g...g...g."};
        case Groove::Shuffle: return {"x.....x.x.......", "....x.......x...", "o.o.o.o.o.o.o.o.", "................", "..............g."};
        case Groove::Electro: return {"x..x..x...x..x..", "....x.......x...", "ogogogogogogogog", "................", "......g.......g."};
        case Groove::Ambient: return {"x.........x.....", "........g.......", "..o...o...o...o.", "................", "g.g.g.g.g.g.g.g."};
        case Groove::Rock: return {"x.......x.x.....", "....x.......x...", "o.o.o.o.o.o.o.o.", "................", "................"};
        case Groove::Drive: return {"x.x...x.x.x...x.", "....x.......x...", "ogogogogogogogog", "................", "..............o."};
    }
    return {"x...............", "................", "................", "................", "................"};
}

int hitVolume(char c) {
    switch (c) {
        case 'x': return 60;
        case 'o': return 46;
        case 'g': return 26;
        default: return -1;
    }
}

}  // namespace

void writeDrums(Grid& g, const TuneSpec& t, DrumLevel level, bool fill, bool crashAtStart, Rng& rng) {
    if (crashAtStart && level != DrumLevel::None) g.note(0, kPerc, 60, iCrash, 40);
    if (level == DrumLevel::None) return;
    const DrumBar d = drumsFor(t.groove);
    const int bars = g.rows() / kBarRows;
    for (int bar = 0; bar < bars; ++bar) {
        const bool fillBar = fill && bar == bars - 1;
        for (int step = 0; step < kBarRows; ++step) {
            const int r = bar * kBarRows + step;
            const int jitter = rng.range(-3, 3);
            if (level != DrumLevel::Hats) {
                int kv = hitVolume(d.kick[step]);
                if (level == DrumLevel::Light && step % 8 != 0) kv = -1;
                if (kv < 0 && bar % 2 == 1 && step == 14 && t.groove != Groove::FourFloor && level == DrumLevel::Full) kv = 36;
                if (kv > 0) g.note(r, kKick, 60, iKick, kv);
                const int sv = hitVolume(d.snare[step]);
                if (sv > 0 && !(fillBar && step >= 8) && level == DrumLevel::Full) g.note(r, kSnare, 60, iSnare, sv * 7 / 8 + jitter);
            }
            const int hv = hitVolume(d.hat[step]);
            if (hv > 0) g.note(r, kHat, 60, iHat, hv * 5 / 8 + jitter);
            const int ov = hitVolume(d.open[step]);
            if (ov > 0 && level != DrumLevel::Light) g.note(r, kHat, 60, iOpenHat, ov * 5 / 8);
            const int pv = hitVolume(d.perc[step]);
            if (pv > 0 && level == DrumLevel::Full && !(r == 0 && crashAtStart)) g.note(r, kPerc, 60, iPerc, pv * 3 / 4 + jitter);
        }
        if (fillBar && level == DrumLevel::Full) {
            const bool busy = t.tempo < 130;
            for (int step = 8; step < kBarRows; step += busy ? 1 : 2) {
                g.note(bar * kBarRows + step, kSnare, 60, iSnare, 22 + (step - 8) * 4);
            }
        }
    }
}

}  // namespace composer
