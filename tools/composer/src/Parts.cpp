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
    const int vol = std::clamp((s.kind == Kind::B ? 36 : 32) + style_.bassGain, 14, 56);
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
    const bool slides = style_.bassSlide && style != BassStyle::Sustained;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const Hit& h = hits[i];
        g.note(row + h.step, kBass, h.pitch + style_.bassShift, iBass, h.vol);
        const int nextStep = i + 1 < hits.size() ? hits[i + 1].step : 16;
        const bool tied = h.step + h.length >= nextStep;
        // Tied notes an octave or less apart slide into each other; a phrase's last note drops away.
        if (slides && tied && i > 0 && std::abs(h.pitch - hits[i - 1].pitch) <= 12 && h.pitch != hits[i - 1].pitch && (i + bar) % 3 == 0) {
            g.effect(row + h.step, kBass, 'G', static_cast<std::uint8_t>(0x60 / style_.speed + 8));
        }
        if (!tied) g.stop(row + h.step + h.length, kBass);
        if (slides && bar % 4 == 3 && i + 1 == hits.size() && h.length >= 2) g.effect(row + h.step + 1, kBass, 'E', 0x0C);
    }
}

void Arranger::writeComp(Grid& g, int row, const std::array<int, 3>& voicing, Rng& rng) {
    static const int stabs[] = {0, 6, 10};
    // Over a walking bass the chords answer off the beat, as comping does.
    static const int offBeatStabs[] = {2, 6, 10};
    static const int strums[] = {0, 8};
    if (t_.harmony == Harmony::Stabs) {
        for (int st : t_.bass == BassStyle::Walking ? offBeatStabs : stabs) {
            for (int v = 0; v < 3; ++v) g.note(row + st, kPad0 + v, voicing[static_cast<std::size_t>(v)], iArp, 25 + rng.range(-2, 2));
            for (int v = 0; v < 3; ++v) g.stop(row + st + 3, kPad0 + v, kNoteOff);
        }
    } else {
        for (int st : strums) {
            for (int v = 0; v < 3; ++v) g.note(row + st + v / 2, kPad0 + v, voicing[static_cast<std::size_t>(v)], iArp, 27 - v * 2);
        }
    }
}

void Arranger::writeArp(Grid& g, int row, const std::array<int, 3>& voicing, int vol, int octave) {
    static const int up[] = {0, 1, 2, 3, 4, 5, 4, 3};
    static const int upDown[] = {0, 1, 2, 1, 3, 2, 4, 5};
    const int* order = t_.harmony == Harmony::ArpUpDown ? upDown : up;
    int i = 0;
    for (int st = 0; st < kBarRows; st += t_.arpStep, ++i) {
        const int idx = order[i % 8];
        int pitch = voicing[static_cast<std::size_t>(idx % 3)] + 12 * (idx / 3) + octave;
        while (pitch > 84) pitch -= 12;
        g.note(row + st, kArp, pitch, iArp, st % 4 == 0 ? vol : vol - 8);
    }
}

void Arranger::writeLead(Grid& g, const std::vector<MelodyNote>& melody, bool echo, int channel, int transpose) {
    const int echoDelay = t_.tempo >= 120 ? 6 : 3;
    const bool doubled = channel != kLead;
    int previousPitch = -1;
    int previousEnd = -1;
    for (std::size_t i = 0; i < melody.size(); ++i) {
        const MelodyNote& n = melody[i];
        const int pitch = key_.pitch(n.degree + transpose, t_.leadBase - 12) + style_.leadShift;
        const int end = n.row + n.length;
        const int nextRow = i + 1 < melody.size() ? melody[i + 1].row : g.rows();
        const int heldUntil = std::min(end, nextRow);
        const int volume = doubled ? n.volume * 5 / 9 : n.volume * 3 / 4;
        g.note(n.row, channel, pitch, iLead, volume);
        if (style_.glide && previousEnd >= n.row && previousPitch >= 0 && std::abs(pitch - previousPitch) <= 4 && pitch != previousPitch) {
            g.effect(n.row, channel, 'G', static_cast<std::uint8_t>(0x90 / style_.speed));
        }
        if (style_.chipArp && n.length >= 3) {
            sparkle(g, channel, n.row + 1, heldUntil - n.row - 1, key_.pc(n.degree + 2) - key_.pc(n.degree) == 3 || key_.pc(n.degree + 2) - key_.pc(n.degree) == -9);
        } else if (n.length >= 6) {
            // Vibrato grows into a held note; its last rows fade.
            const int fadeFrom = heldUntil - std::max(1, (heldUntil - n.row) / 4);
            for (int r = n.row + 2; r < heldUntil; ++r) {
                if (r >= fadeFrom) {
                    g.effect(r, channel, 'D', static_cast<std::uint8_t>(std::max(1, 12 / style_.speed)));
                } else {
                    g.effect(r, channel, 'H', r == n.row + 2 ? static_cast<std::uint8_t>(t_.vibrato) : 0);
                }
            }
        }
        if (end < nextRow) g.stop(end, channel);
        if (echo && style_.echo) {
            // The echo answers from alternating sides.
            g.note(n.row + echoDelay, kEcho, pitch, iLead, n.volume * 2 / 5);
            if (style_.pan != PanLayout::Centre) g.effect(n.row + echoDelay, kEcho, 'X', i % 2 ? 0x30 : 0xD0);
            if (end < nextRow) g.stop(end + echoDelay, kEcho);
        }
        previousPitch = pitch;
        previousEnd = end;
    }
}

void Arranger::sparkle(Grid& g, int channel, int row, int rows, bool minor) {
    const std::uint8_t param = minor ? 0x37 : 0x47;
    for (int r = row; r < row + rows; ++r) g.effect(r, channel, 'J', param);
}

void Arranger::writePadSwell(Grid& g, int row, int rows, int volume) {
    // The chord starts soft and swells to its level, then ebbs before the next chord.
    const int start = std::max(4, volume / 3);
    for (int v = 0; v < 3; ++v) {
        Cell& c = g.at(row, kPad0 + v);
        if (c.note >= 0) c.volume = start;
    }
    // Fine slides move one step a row whatever the speed, so the swell takes the same time in every tune.
    const int step = std::max(1, (volume - start + 11) / 12);
    const int rise = (volume - start + step - 1) / step;
    for (int v = 0; v < 3; ++v) {
        for (int r = row + 1; r <= row + rise && r < row + rows; ++r) g.effect(r, kPad0 + v, 'D', static_cast<std::uint8_t>(step << 4 | 0xF));
        for (int r = row + rows - 4; r < row + rows; ++r) {
            if (r > row + rise) g.effect(r, kPad0 + v, 'D', 0xF2);
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
            int pitch = key_.pitch(mod(degree, 7), base);
            while (pitch > 84) pitch -= 12;
            g.note(bar * kBarRows + st, kCounter, pitch, iCounter, 30 + rng.range(-3, 3));
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
