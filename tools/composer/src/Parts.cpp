#include "Arranger.h"

#include <algorithm>
#include <cstdlib>

namespace composer {

void Arranger::writeBass(Grid& g, const Section& s, int bar, int chord) {
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

void Arranger::writeComp(Grid& g, int row, const std::array<int, 3>& voicing, Rng& rng) {
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

void Arranger::writeArp(Grid& g, int row, const std::array<int, 3>& voicing, int vol) {
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

void Arranger::writeLead(Grid& g, const std::vector<MelodyNote>& melody, bool echo) {
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

void Arranger::writeCounter(Grid& g, const Section& s, Rng& rng) {
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

void Arranger::applySwing(Grid& g) {
    for (int r = 0; r < g.rows(); ++r) {
        if (r % 4 != 2) continue;
        for (int c : {kHat, kBass, kArp, kPerc}) {
            if (g.at(r, c).note >= 0) g.effect(r, c, 'S', 0xD2);
        }
    }
}

}  // namespace composer
