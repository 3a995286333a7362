#include "Composer.h"

#include "Rng.h"
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace composer {

using modwriter::Cell;
using modwriter::kNoteCut;
using modwriter::kNoteOff;

namespace {

enum Channel { kKick, kSnare, kHat, kPerc, kBass, kPad0, kPad1, kPad2, kArp, kLead, kEcho, kCounter, kChannels };
enum Ins { iKick = 1, iSnare, iHat, iOpenHat, iCrash, iPerc, iBass, iPad, iArp, iLead, iCounter };

constexpr int kBarRows = 16;
constexpr int kPatternRows = 64;
constexpr int kBarsPerPattern = kPatternRows / kBarRows;

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

struct Key {
    int root;
    std::array<int, 7> scale;
    // Pitch of a scale degree counted from the tonic at `base` (a note number of the tonic).
    int pitch(int degree, int base) const { return base + 12 * floorDiv(degree, 7) + scale[static_cast<std::size_t>(mod(degree, 7))]; }
    int pc(int degree) const { return mod(root + scale[static_cast<std::size_t>(mod(degree, 7))], 12); }
};

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

// --- instruments -----------------------------------------------------------

std::vector<modwriter::Sample> makeSamples(const TuneSpec& t) {
    using namespace synth;
    std::vector<modwriter::Sample> s;
    const std::uint64_t seed = t.seed * 7919;

    KickParams kp;
    switch (t.kit) {
        case Kit::Acoustic: kp = {120, 52, 0.03, 0.28, 0.5, 1.2}; break;
        case Kit::Electro: kp = {180, 46, 0.05, 0.45, 0.25, 1.6}; break;
        case Kit::Crushed: kp = {200, 55, 0.03, 0.3, 0.6, 3.0}; break;
        case Kit::Soft: kp = {110, 48, 0.04, 0.32, 0.1, 1.0}; break;
    }
    s.push_back(kick("kick", kp, seed + 1));
    if (t.kit == Kit::Electro) {
        s.push_back(clap("clap", 0.09, seed + 2));
    } else {
        s.push_back(snare("snare", t.kit == Kit::Soft ? 210 : 185, t.kit == Kit::Crushed ? 0.12 : 0.16,
                          t.kit == Kit::Soft ? 0.6 : 0.9, seed + 2));
    }
    s.push_back(hat("closed hat", t.kit == Kit::Soft ? 0.03 : 0.045, 1.0 + 0.05 * (t.seed % 5), seed + 3));
    s.push_back(hat("open hat", 0.22, 1.0 + 0.05 * (t.seed % 5), seed + 4));
    s.push_back(crash("crash", 1.6, seed + 5));
    switch (t.groove) {
        case Groove::Ambient:
        case Groove::HalfTime: s.push_back(shaker("shaker", 0.05, seed + 6)); break;
        case Groove::Electro: s.push_back(clap("clap", 0.12, seed + 6)); break;
        default: s.push_back(tom("tom", 190, 120, 0.18)); break;
    }

    ToneParams bass;
    switch (t.bassTone) {
        case BassTone::Saw: bass = {Wave::Saw, 48, 0.25, 30, 8, 0.15, 0.003, 0.4, 0.6, 0.2, 64, 0, 1, 0, 0.3}; break;
        case BassTone::Square: bass = {Wave::Square, 40, 0.25, 24, 10, 0.1, 0.003, 0.3, 0.7, 0.15, 64, 0, 1, 0, 0.2}; break;
        case BassTone::Sub: bass = {Wave::Triangle, 16, 0.25, 8, 4, 0.1, 0.004, 0.5, 0.8, 0.15, 64, 0, 1, 0, 0.6}; break;
        case BassTone::Pluck: bass = {Wave::Saw, 40, 0.25, 20, 3, 0.08, 0.002, 0.25, 0.35, 0.5, 64, 0, 1, 0, 0.5}; break;
        case BassTone::Fm: bass = {Wave::Pulse, 40, 0.3, 28, 5, 0.06, 0.002, 0.2, 0.6, 0.2, 64, 0, 1, 0.5, 0.4}; break;
        case BassTone::Distorted: bass = {Wave::Saw, 48, 0.25, 24, 12, 0.2, 0.003, 0.3, 0.8, 0.15, 64, 1, 2, 2.5, 0.3}; break;
    }
    s.push_back(tone("bass", bass));

    ToneParams pad;
    switch (t.pad) {
        case PadTone::Strings: pad = {Wave::Saw, 24, 0.25, 6, 5, 0.5, 0.25, 0.5, 0.85, 0.4, 128, 1, 3, 0, 0}; break;
        case PadTone::Warm: pad = {Wave::Pulse, 20, 0.35, 5, 3.5, 0.6, 0.15, 0.6, 0.8, 0.35, 128, 1, 2, 0, 0}; break;
        case PadTone::Glass: pad = {Wave::Hollow, 24, 0.25, 14, 9, 0.3, 0.12, 0.6, 0.7, 0.35, 128, 1, 3, 0, 0}; break;
        case PadTone::Organ: pad = {Wave::Organ, 8, 0.25, 20, 20, 0.1, 0.02, 0.2, 0.9, 0.2, 128, 1, 2, 0, 0}; break;
        case PadTone::Dark: pad = {Wave::Square, 20, 0.25, 5, 3, 0.3, 0.1, 0.4, 0.8, 0.3, 128, 1, 3, 0.8, 0}; break;
    }
    s.push_back(tone("pad", pad));

    auto bell = [&](BellTone b, const std::string& name, std::uint64_t n) {
        switch (b) {
            case BellTone::Pluck: return pluck(name, 0.55, 1.4, n);
            case BellTone::Glass: return fm(name, 3.5, 2.2, 0.25, 1.8);
            case BellTone::EPiano: return fm(name, 1.0, 1.6, 0.35, 1.6);
            case BellTone::Marimba: return fm(name, 4.0, 1.8, 0.05, 0.5);
            case BellTone::Chip: {
                ToneParams c{Wave::Pulse, 16, 0.25, 16, 16, 0.1, 0.002, 0.12, 0.35, 0.2, 32, 0, 1, 0, 0};
                return tone(name, c);
            }
        }
        return pluck(name, 0.5, 1.0, n);
    };
    s.push_back(bell(t.arp, "arp", seed + 7));

    ToneParams lead;
    switch (t.lead) {
        case LeadTone::Saw: lead = {Wave::Saw, 18, 0.25, 14, 8, 0.2, 0.01, 0.3, 0.8, 0.3, 64, 1, 2, 0, 0}; break;
        case LeadTone::Square: lead = {Wave::Square, 18, 0.25, 12, 9, 0.15, 0.005, 0.2, 0.8, 0.25, 64, 0, 1, 0, 0}; break;
        case LeadTone::Pulse: lead = {Wave::Pulse, 18, 0.18, 16, 10, 0.1, 0.003, 0.2, 0.75, 0.25, 64, 1, 2, 0, 0}; break;
        case LeadTone::Soft: lead = {Wave::Triangle, 12, 0.25, 6, 5, 0.2, 0.02, 0.3, 0.85, 0.3, 64, 0, 1, 0, 0}; break;
        case LeadTone::Organ: lead = {Wave::Organ, 8, 0.25, 20, 20, 0.1, 0.004, 0.1, 0.95, 0.2, 64, 0, 1, 0, 0}; break;
        case LeadTone::Hollow: lead = {Wave::Hollow, 14, 0.25, 8, 5, 0.25, 0.04, 0.3, 0.85, 0.3, 64, 1, 2, 0, 0}; break;
        case LeadTone::SuperSaw: lead = {Wave::Saw, 18, 0.25, 12, 9, 0.3, 0.01, 0.4, 0.85, 0.4, 128, 1, 3, 0, 0}; break;
        case LeadTone::Distorted: lead = {Wave::Saw, 16, 0.25, 10, 7, 0.2, 0.005, 0.3, 0.9, 0.3, 64, 1, 2, 2.0, 0}; break;
    }
    s.push_back(tone("lead", lead));
    s.push_back(bell(t.counter, "counter", seed + 8));

    if (t.kit == Kit::Crushed) {
        for (std::size_t i : {0u, 1u, 2u, 6u}) synth::crush(s[i], 8);
    }
    return s;
}

std::vector<modwriter::Instrument> makeInstruments(const std::vector<modwriter::Sample>& samples, const TuneSpec& t) {
    using NNA = modwriter::Instrument::NewNoteAction;
    std::vector<modwriter::Instrument> out;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        modwriter::Instrument ins;
        ins.name = samples[i].name;
        ins.sample = static_cast<int>(i + 1);
        const int n = static_cast<int>(i + 1);
        if (n == iPad) {
            ins.newNoteAction = NNA::Fade;
            ins.fadeout = std::max(8, t.tempo / 5);
        } else if (n == iLead) {
            ins.newNoteAction = NNA::Cut;
            ins.fadeout = 96;
        } else if (n == iBass) {
            ins.fadeout = 256;
        } else if (n == iArp || n == iCounter) {
            ins.newNoteAction = NNA::Fade;
            ins.fadeout = 48;
        } else if (n == iOpenHat || n == iCrash) {
            ins.newNoteAction = NNA::Continue;
        } else {
            ins.fadeout = 512;
        }
        out.push_back(ins);
    }
    return out;
}

// --- drums ----------------------------------------------------------------

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

enum class DrumLevel { None, Hats, Light, Full };

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

// --- harmony --------------------------------------------------------------

std::vector<int> chordDegrees(int degree, bool sevenths) {
    std::vector<int> d = {degree, degree + 2, degree + 4};
    if (sevenths) d.push_back(degree + 6);
    return d;
}

// Close voicing of three chord tones near the previous voicing.
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

// --- melody -----------------------------------------------------------------

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

class MelodyMaker {
public:
    MelodyMaker(const TuneSpec& t, const std::array<int, 4>& progression, std::uint64_t seed, double density, int center)
        : t_(t), prog_(progression), rng_(seed), density_(density), center_(center) {}

    // Eight bars: a two-bar motif, its answer, the motif again and a closing cadence.
    std::vector<MelodyNote> eightBars() {
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

private:
    static void append(std::vector<MelodyNote>& out, const std::vector<MelodyNote>& notes, int offset) {
        for (MelodyNote n : notes) {
            n.row += offset;
            out.push_back(n);
        }
    }

    int chordAt(int bar) const { return prog_[static_cast<std::size_t>(bar % 4)]; }

    std::vector<MelodyNote> pitches(const std::vector<std::pair<int, int>>& rh, int firstBar, int previous) {
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

    MelodyNote cadence(int bar, bool final) {
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

    const TuneSpec& t_;
    std::array<int, 4> prog_;
    Rng rng_;
    double density_;
    int center_;
};

// --- the arrangement --------------------------------------------------------

class Arranger {
public:
    explicit Arranger(const TuneSpec& t) : t_(t), key_{t.root, scaleOf(t.mode)} {}

    modwriter::Song build() {
        modwriter::Song song;
        song.title = t_.title;
        song.speed = t_.speed;
        song.tempo = t_.tempo;
        song.globalVolume = 128;
        // The mixing volume carries each tune's trim to the common loudness.
        song.mixVolume = static_cast<int>(std::lround(48.0 * std::pow(10.0, t_.gainDb / 20.0)));
        const int pans[kChannels] = {32, 30, 42, 22, 32, 14, 32, 50, 18, 34, 48, 44};
        for (int c = 0; c < kChannels; ++c) song.channels.push_back({pans[c], 64});
        song.samples = makeSamples(t_);
        if (formatOf(t_) == modwriter::Format::IT) song.instruments = makeInstruments(song.samples, t_);

        const double rowSeconds = 2.5 * t_.speed / t_.tempo;
        const int totalRows = static_cast<int>(std::lround(t_.seconds / rowSeconds));
        const int bodyUnits = (totalRows - 48) / kPatternRows;
        const int endingRows = totalRows - bodyUnits * kPatternRows;

        for (const Section& s : plan(bodyUnits)) {
            // A section that comes back replays its patterns; a shortened return plays their start.
            const std::string key = std::to_string(static_cast<int>(s.kind)) + "/" + std::to_string(s.variant);
            auto found = cache_.find(key);
            if (found == cache_.end() || static_cast<int>(found->second.size()) < s.units) {
                std::vector<int> ids;
                Grid g = section(s);
                for (int u = 0; u < s.units; ++u) ids.push_back(addPattern(song, g, u * kPatternRows, kPatternRows, false));
                if (found == cache_.end()) {
                    found = cache_.emplace(key, ids).first;
                } else {
                    found->second = ids;
                }
            }
            for (int u = 0; u < s.units; ++u) song.orders.push_back(found->second[static_cast<std::size_t>(u)]);
        }
        Grid end = ending(endingRows);
        if (formatOf(t_) == modwriter::Format::IT) {
            song.orders.push_back(addPattern(song, end, 0, endingRows, false));
        } else {
            for (int start = 0; start < endingRows; start += kPatternRows) {
                const int rows = std::min(kPatternRows, endingRows - start);
                song.orders.push_back(addPattern(song, end, start, rows, true));
            }
        }
        return song;
    }

private:
    int addPattern(modwriter::Song& song, const Grid& g, int start, int rows, bool padTo64) {
        const int height = padTo64 ? kPatternRows : rows;
        modwriter::Pattern p(height, kChannels);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < kChannels; ++c) p.at(r, c) = g.at(start + r, c);
        }
        if (padTo64 && rows < kPatternRows) {
            Cell& last = p.at(rows - 1, kSnare);
            last.effect = 'C';  // the song ends on this row
            last.param = 0;
        }
        song.patterns.push_back(std::move(p));
        return static_cast<int>(song.patterns.size()) - 1;
    }

    std::vector<Section> plan(int units) const {
        using K = Kind;
        static const std::vector<std::vector<Section>> forms = {
            {{K::A, 0, 4}, {K::B, 0, 4}, {K::Break, 0, 2}, {K::A, 1, 4}, {K::B, 0, 4}, {K::C, 0, 4}, {K::B, 1, 4}, {K::A, 0, 4}},
            {{K::A, 0, 4}, {K::B, 0, 4}, {K::A, 1, 2}, {K::B, 0, 4}, {K::Break, 0, 2}, {K::C, 0, 4}, {K::A, 1, 4}, {K::B, 1, 4}},
            {{K::A, 0, 4}, {K::B, 0, 4}, {K::C, 0, 4}, {K::A, 0, 4}, {K::Break, 0, 2}, {K::B, 1, 4}, {K::A, 1, 4}},
        };
        const auto& form = forms[static_cast<std::size_t>(t_.form % 3)];
        std::vector<Section> out;
        const int intro = units >= 20 ? 2 : 1;
        int outro = 2;
        out.push_back({K::Intro, 0, intro});
        int left = units - intro - outro;
        std::size_t i = 0;
        while (left > 0) {
            Section s = form[i % form.size()];
            if (i >= form.size()) s.variant = 1 - s.variant;  // a second pass through the form varies
            if (s.units > left) s.units = left;
            if (s.units == 1 && s.kind != Kind::Break) {
                outro += 1;
                break;
            }
            out.push_back(s);
            left -= s.units;
            ++i;
        }
        out.push_back({K::Outro, 0, outro});
        return out;
    }

    const std::array<int, 4>& progression(Kind k) const {
        if (k == Kind::B) return t_.chorus;
        if (k == Kind::C) return t_.bridge;
        return t_.verse;
    }

    int chordAt(Kind k, int bar) const { return progression(k)[static_cast<std::size_t>(bar % 4)]; }

    Grid section(const Section& s) {
        Grid g(s.units * kPatternRows);
        const int bars = s.units * kBarsPerPattern;
        Rng rng(t_.seed * 31 + static_cast<std::uint64_t>(s.kind) * 7 + static_cast<std::uint64_t>(s.variant) * 3 +
                static_cast<std::uint64_t>(s.units));
        const bool energetic = t_.tempo >= 118;

        // Drums
        switch (s.kind) {
            case Kind::Intro:
                if (s.units > 1) {
                    Grid second(kPatternRows);
                    writeDrums(second, t_, energetic ? DrumLevel::Light : DrumLevel::Hats, true, false, rng);
                    copyInto(g, second, (s.units - 1) * kPatternRows);
                }
                break;
            case Kind::A: writeDrums(g, t_, DrumLevel::Full, true, s.variant == 1, rng); break;
            case Kind::B: writeDrums(g, t_, DrumLevel::Full, true, true, rng); break;
            case Kind::Break: writeDrums(g, t_, t_.groove == Groove::Ambient ? DrumLevel::None : DrumLevel::Hats, false, true, rng); break;
            case Kind::C: writeDrums(g, t_, s.variant == 0 ? DrumLevel::Light : DrumLevel::Full, true, true, rng); break;
            case Kind::Outro: {
                Grid first(kPatternRows);
                writeDrums(first, t_, DrumLevel::Full, false, true, rng);
                copyInto(g, first, 0);
                if (s.units > 1) {
                    Grid rest((s.units - 1) * kPatternRows);
                    writeDrums(rest, t_, DrumLevel::Hats, false, false, rng);
                    copyInto(g, rest, kPatternRows);
                }
                break;
            }
        }

        // Bass, pads, comping and arpeggios
        std::array<int, 3> voicing = {57, 60, 64};
        const bool comp = t_.harmony == Harmony::Stabs || t_.harmony == Harmony::Strum;
        const bool compHere = comp && (s.kind == Kind::A || s.kind == Kind::B || s.kind == Kind::C);
        const bool arpHere = !comp ? (s.kind != Kind::A || s.variant == 1 || s.kind == Kind::Intro)
                                   : (s.kind == Kind::B);
        const int padVolume = s.kind == Kind::B ? 30 : (s.kind == Kind::A && s.variant == 0 ? 22 : 26);
        int previousChord = -100;
        for (int bar = 0; bar < bars; ++bar) {
            const int chord = chordAt(s.kind, bar);
            const int row = bar * kBarRows;
            voicing = voice(key_, chord, t_.sevenths, voicing);
            const bool introSilentBass = s.kind == Kind::Intro && bar < kBarsPerPattern && s.units > 1;
            if (!introSilentBass) writeBass(g, s, bar, chord);
            if (compHere) {
                writeComp(g, row, voicing, rng);
            } else if (chord != previousChord || bar % 4 == 0) {
                for (int v = 0; v < 3; ++v) g.note(row, kPad0 + v, voicing[static_cast<std::size_t>(v)], iPad, padVolume);
            }
            previousChord = chord;
            if (arpHere && !(s.kind == Kind::Intro && bar < 2)) writeArp(g, row, voicing, s.kind == Kind::Intro ? 24 : 30);
        }

        // Lead, its echo and the answering voice
        if (s.kind == Kind::A || s.kind == Kind::B || s.kind == Kind::C) {
            const int center = 7 + (s.kind == Kind::B ? 2 : (s.kind == Kind::C ? 1 : 0));
            const double density = std::clamp(t_.density + (s.kind == Kind::B ? -0.15 : (s.kind == Kind::C ? 0.1 : 0.0)), 0.05, 0.95);
            const std::uint64_t seed = t_.seed * 131 + static_cast<std::uint64_t>(s.kind) * 17;
            MelodyMaker first(t_, progression(s.kind), seed, density, center);
            auto melody = first.eightBars();
            if (bars > 8) {
                // Bars 8-13 restate the opening; a fresh close ends the section.
                MelodyMaker again(t_, progression(s.kind), seed + 1 + static_cast<std::uint64_t>(s.variant), density, center);
                const auto alternative = again.eightBars();
                const auto opening = melody;
                for (const MelodyNote& n : opening) {
                    if (n.row < 4 * kBarRows) melody.push_back({n.row + 8 * kBarRows, n.length, n.degree, n.volume});
                    if (n.row < 2 * kBarRows) melody.push_back({n.row + 12 * kBarRows, n.length, n.degree, n.volume});
                }
                for (const MelodyNote& n : alternative) {
                    if (n.row >= 6 * kBarRows) melody.push_back({n.row + 8 * kBarRows, n.length, n.degree, n.volume});
                }
            }
            std::sort(melody.begin(), melody.end(), [](const MelodyNote& a, const MelodyNote& b) { return a.row < b.row; });
            writeLead(g, melody, s.kind != Kind::A || s.variant == 1);
        }
        if ((s.kind == Kind::A && s.variant == 1) || s.kind == Kind::Break || (s.kind == Kind::B && s.variant == 1) ||
            s.kind == Kind::Outro || s.kind == Kind::Intro) {
            writeCounter(g, s, rng);
        }
        if (t_.swing) applySwing(g);
        return g;
    }

    static void copyInto(Grid& to, const Grid& from, int offset) {
        for (int r = 0; r < from.rows(); ++r) {
            for (int c = 0; c < kChannels; ++c) {
                if (!from.at(r, c).empty()) to.at(offset + r, c) = from.at(r, c);
            }
        }
    }

    void writeBass(Grid& g, const Section& s, int bar, int chord) {
        const int row = bar * kBarRows;
        const int root = bassPitch(key_, chord);
        const int third = root + mod(key_.pc(chord + 2) - key_.pc(chord), 12);
        const int fifth = root + mod(key_.pc(chord + 4) - key_.pc(chord), 12);
        const int next = bassPitch(key_, chordAt(s.kind, bar + 1));
        const int vol = s.kind == Kind::B ? 54 : 50;
        struct Hit { int step, pitch, length, vol; };
        std::vector<Hit> hits;
        BassStyle style = t_.bass;
        if (s.kind == Kind::Intro || s.kind == Kind::Break || (s.kind == Kind::Outro && bar >= kBarsPerPattern)) style = BassStyle::Sustained;
        switch (style) {
            case BassStyle::Pulse:
                for (int st = 0; st < 16; st += 2) hits.push_back({st, st == 6 || st == 14 ? root + 12 : root, 2, st % 4 == 0 ? vol : vol - 8});
                break;
            case BassStyle::Octaves:
                for (int st = 0; st < 16; st += 2) hits.push_back({st, (st / 2) % 2 ? root + 12 : root, 2, (st / 2) % 2 ? vol - 6 : vol});
                break;
            case BassStyle::Syncopated:
                hits = {{0, root, 3, vol}, {3, root, 2, vol - 10}, {6, root + 12, 2, vol - 4}, {10, fifth, 2, vol - 6}, {12, root, 2, vol - 4}, {14, bar % 2 ? root + 12 : fifth, 2, vol - 8}};
                break;
            case BassStyle::Sustained:
                hits = {{0, root, 14, vol}};
                if (bar % 4 == 3) hits = {{0, root, 12, vol}, {12, fifth, 4, vol - 8}};
                break;
            case BassStyle::Walking: {
                const int approach = next + (next > root ? -1 : 1);
                hits = {{0, root, 4, vol}, {4, third, 4, vol - 8}, {8, fifth, 4, vol - 4}, {12, approach, 4, vol - 8}};
                break;
            }
            case BassStyle::Arpeggio:
                for (int st = 0; st < 16; st += 2) {
                    const int seq[8] = {root, fifth, root + 12, fifth, root, third, fifth, root + 12};
                    hits.push_back({st, seq[st / 2], 2, st % 4 == 0 ? vol : vol - 8});
                }
                break;
        }
        for (std::size_t i = 0; i < hits.size(); ++i) {
            const Hit& h = hits[i];
            g.note(row + h.step, kBass, h.pitch, iBass, h.vol);
            const int nextStep = i + 1 < hits.size() ? hits[i + 1].step : 16;
            if (h.step + h.length < nextStep) g.stop(row + h.step + h.length, kBass);
        }
    }

    void writeComp(Grid& g, int row, const std::array<int, 3>& voicing, Rng& rng) {
        static const int stabs[] = {0, 6, 10};
        static const int strums[] = {0, 8};
        if (t_.harmony == Harmony::Stabs) {
            for (int st : stabs) {
                for (int v = 0; v < 3; ++v) g.note(row + st, kPad0 + v, voicing[static_cast<std::size_t>(v)], iArp, 32 + rng.range(-2, 2));
                for (int v = 0; v < 3; ++v) g.stop(row + st + 3, kPad0 + v, kNoteOff);
            }
        } else {
            for (int st : strums) {
                for (int v = 0; v < 3; ++v) g.note(row + st + v / 2, kPad0 + v, voicing[static_cast<std::size_t>(v)], iArp, 34 - v * 2);
            }
        }
    }

    void writeArp(Grid& g, int row, const std::array<int, 3>& voicing, int vol) {
        static const int up[] = {0, 1, 2, 3, 4, 5, 4, 3};
        static const int upDown[] = {0, 1, 2, 1, 3, 2, 4, 5};
        const int* order = t_.harmony == Harmony::ArpUpDown ? upDown : up;
        int i = 0;
        for (int st = 0; st < kBarRows; st += t_.arpStep, ++i) {
            const int idx = order[i % 8];
            const int pitch = voicing[static_cast<std::size_t>(idx % 3)] + 12 * (idx / 3);
            g.note(row + st, kArp, pitch, iArp, st % 4 == 0 ? vol : vol - 8);
        }
    }

    void writeLead(Grid& g, const std::vector<MelodyNote>& melody, bool echo) {
        const int echoDelay = t_.tempo >= 120 ? 6 : 3;
        for (std::size_t i = 0; i < melody.size(); ++i) {
            const MelodyNote& n = melody[i];
            const int pitch = key_.pitch(n.degree, t_.leadBase - 12);
            const int end = n.row + n.length;
            const int nextRow = i + 1 < melody.size() ? melody[i + 1].row : g.rows();
            g.note(n.row, kLead, pitch, iLead, n.volume);
            if (n.length >= 6) {
                for (int r = n.row + 2; r < std::min(end, nextRow); ++r) g.effect(r, kLead, 'H', r == n.row + 2 ? static_cast<std::uint8_t>(t_.vibrato) : 0);
            }
            if (end < nextRow) g.stop(end, kLead);
            if (echo) {
                g.note(n.row + echoDelay, kEcho, pitch, iLead, n.volume * 2 / 5);
                if (end < nextRow) g.stop(end + echoDelay, kEcho);
            }
        }
    }

    void writeCounter(Grid& g, const Section& s, Rng& rng) {
        const int bars = g.rows() / kBarRows;
        const int base = 60 + t_.root + (t_.root < 6 ? 12 : 0);
        for (int bar = 0; bar < bars; ++bar) {
            const int chord = chordAt(s.kind, bar);
            const auto tones = chordDegrees(chord, t_.sevenths);
            const int pattern = rng.range(0, 2);
            const int steps[3][3] = {{0, 6, 12}, {0, 8, -1}, {4, 10, -1}};
            for (int k = 0; k < 3; ++k) {
                const int st = steps[pattern][k];
                if (st < 0) continue;
                const int degree = tones[static_cast<std::size_t>(rng.range(0, static_cast<int>(tones.size()) - 1))];
                g.note(bar * kBarRows + st, kCounter, key_.pitch(mod(degree, 7), base), iCounter, 34 + rng.range(-3, 3));
            }
        }
    }

    void applySwing(Grid& g) {
        for (int r = 0; r < g.rows(); ++r) {
            if (r % 4 != 2) continue;
            for (int c : {kHat, kBass, kArp, kPerc}) {
                if (g.at(r, c).note >= 0) g.effect(r, c, 'S', 0xD2);
            }
        }
    }

    Grid ending(int rows) {
        Grid g(rows);
        const std::array<int, 3> voicing = voice(key_, 0, false, {57, 62, 66});
        g.note(0, kKick, 60, iKick, 60);
        g.note(0, kPerc, 60, iCrash, 44);
        g.note(0, kBass, bassPitch(key_, 0), iBass, 52);
        for (int v = 0; v < 3; ++v) g.note(0, kPad0 + v, voicing[static_cast<std::size_t>(v)], iPad, 30);
        g.note(0, kLead, t_.leadBase, iLead, 44);
        g.effect(2, kLead, 'H', static_cast<std::uint8_t>(t_.vibrato));
        g.note(0, kCounter, voicing[2] + 12, iCounter, 36);
        for (int r = 4; r < rows; r += 2) {
            const double left = 1.0 - static_cast<double>(r) / rows;
            const double shape = left * left;
            for (int c : {kBass, kPad0, kPad1, kPad2, kLead}) {
                const int start = g.at(0, c).volume;
                g.volume(r, c, static_cast<int>(std::lround(start * shape)));
            }
        }
        return g;
    }

    const TuneSpec& t_;
    Key key_;
    std::map<std::string, std::vector<int>> cache_;
};

}  // namespace

modwriter::Format formatOf(const TuneSpec& tuneSpec) { return modwriter::formatForPath(tuneSpec.file); }

modwriter::Song composeTune(const TuneSpec& tuneSpec) { return Arranger(tuneSpec).build(); }

int writeCatalogue(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    int written = 0;
    for (const TuneSpec& t : catalogue()) {
        modwriter::saveSong(composeTune(t), formatOf(t), dir / t.file);
        ++written;
    }
    return written;
}

}  // namespace composer
