#include "Arranger.h"

#include "Composer.h"
#include "Drums.h"
#include "Instruments.h"

#include <algorithm>
#include <cmath>

namespace composer {

modwriter::Song Arranger::build() {
    modwriter::Song song;
    song.title = t_.title;
    writeTiming(song);
    song.globalVolume = 128;
    // The mixing volume carries each tune's trim to the common loudness.
    song.mixVolume = static_cast<int>(std::lround(48.0 * std::pow(10.0, t_.gainDb / 20.0)));
    layOutChannels(song);

    const double rowSeconds = 2.5 * song.speed / song.tempo;
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

    // The samples come last, band-limited to the highest note each instrument plays.
    // The tune's colour is set where each instrument mostly plays.
    std::vector<int> topNotes(iBed, 0);
    std::vector<double> noteSums(iBed, 0.0), noteCounts(iBed, 0.0);
    for (const modwriter::Pattern& p : song.patterns) {
        for (int r = 0; r < p.rows(); ++r) {
            for (int c = 0; c < p.channels(); ++c) {
                const Cell& cell = p.at(r, c);
                if (cell.note >= 0 && cell.instrument > 0) {
                    const auto i = static_cast<std::size_t>(cell.instrument - 1);
                    topNotes[i] = std::max(topNotes[i], cell.note);
                    noteSums[i] += cell.note;
                    noteCounts[i] += 1;
                }
            }
        }
    }
    std::vector<int> centreNotes(iBed, 60);
    for (std::size_t i = 0; i < centreNotes.size(); ++i) {
        if (noteCounts[i] > 0) centreNotes[i] = static_cast<int>(std::lround(noteSums[i] / noteCounts[i]));
    }
    song.samples = makeSamples(t_, topNotes, centreNotes);
    if (formatOf(t_) == modwriter::Format::IT) song.instruments = makeInstruments(song.samples, t_, topNotes);
    return song;
}

std::vector<Section> Arranger::plan(int units) const {
    using K = Kind;
    static const std::vector<std::vector<Section>> forms = {
        {{K::A, 0, 4}, {K::B, 0, 4}, {K::Break, 0, 2}, {K::A, 0, 4}, {K::B, 0, 4}, {K::C, 0, 4}, {K::B, 0, 4}, {K::A, 1, 4}},
        {{K::A, 0, 4}, {K::B, 0, 4}, {K::A, 0, 2}, {K::B, 0, 4}, {K::Break, 0, 2}, {K::C, 0, 4}, {K::A, 1, 4}, {K::B, 0, 4}},
        {{K::A, 0, 4}, {K::B, 0, 4}, {K::C, 0, 4}, {K::A, 0, 4}, {K::Break, 0, 2}, {K::B, 0, 4}, {K::A, 1, 4}},
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
        if (i >= form.size() && s.kind != Kind::B) s.variant = 1 - s.variant;  // a second pass varies all but the chorus
        if (s.units > left) s.units = left;
        if (s.units == 1 && s.kind != Kind::Break) {
            outro += 1;
            break;
        }
        out.push_back(s);
        left -= s.units;
        ++i;
    }
    // However short the tune, its chorus comes back: the last section before the outro becomes it.
    const auto choruses = std::count_if(out.begin(), out.end(), [](const Section& x) { return x.kind == K::B; });
    if (choruses == 1 && out.back().kind != K::B && out.size() >= 4) out.back() = {K::B, 0, out.back().units};
    out.push_back({K::Outro, 0, outro});
    return out;
}

const std::array<int, 4>& Arranger::progression(Kind k) const {
    if (k == Kind::B) return t_.chorus;
    if (k == Kind::C) return t_.bridge;
    return t_.verse;
}

Grid Arranger::section(const Section& s) {
    Grid g(s.units * kPatternRows);
    const int bars = s.units * kBarsPerPattern;
    Rng rng(t_.seed * 31 + static_cast<std::uint64_t>(s.kind) * 7 + static_cast<std::uint64_t>(s.variant) * 3 +
            static_cast<std::uint64_t>(s.units));
    const bool energetic = t_.tempo >= 118;

    // Drums
    switch (s.kind) {
        case Kind::Intro: {
            // The kit joins one part at a time: hats for the last two bars of the first pattern,
            // then hats and kick (or hats alone in calm tunes) for a second one.
            Grid hats(2 * kBarRows);
            writeDrums(hats, t_, style_, DrumLevel::Hats, false, false, rng);
            copyInto(g, hats, kPatternRows - 2 * kBarRows);
            if (s.units > 1) {
                Grid second(kPatternRows);
                writeDrums(second, t_, style_, energetic ? DrumLevel::Light : DrumLevel::Hats, true, false, rng);
                copyInto(g, second, (s.units - 1) * kPatternRows);
            }
            break;
        }
        case Kind::A: writeDrums(g, t_, style_, DrumLevel::Full, true, s.variant == 1, rng); break;
        case Kind::B: writeDrums(g, t_, style_, DrumLevel::Full, true, true, rng); break;
        case Kind::Break: {
            // The break drops the kit for its first half; busy styles keep their hats in the second.
            const int half = s.units * kPatternRows / 2;
            Grid second(s.units * kPatternRows - half);
            if (style_.hatSteps == 1) writeDrums(second, t_, style_, DrumLevel::Hats, false, false, rng);
            copyInto(g, second, half);
            g.note(0, kPerc, 60, iCrash, 40);
            break;
        }
        case Kind::C: writeDrums(g, t_, style_, s.variant == 0 ? DrumLevel::Light : DrumLevel::Full, true, true, rng); break;
        case Kind::Outro: {
            Grid first(kPatternRows);
            writeDrums(first, t_, style_, DrumLevel::Full, false, true, rng);
            copyInto(g, first, 0);
            if (s.units > 1) {
                Grid rest((s.units - 1) * kPatternRows);
                writeDrums(rest, t_, style_, DrumLevel::Hats, false, false, rng);
                copyInto(g, rest, kPatternRows);
            }
            break;
        }
    }

    // The bed starts with the tune and runs on under every section without starting again, so
    // a section that comes back meets it at another point of its swell. Verses and breaks
    // turn it down.
    if (style_.bed.volume > 0) {
        int percent = 100;
        switch (s.kind) {
            case Kind::Break: percent = 30; break;
            case Kind::A: case Kind::Intro: percent = 65; break;
            case Kind::C: percent = 85; break;
            default: break;
        }
        const int volume = style_.bed.volume * percent / 100;
        if (s.kind == Kind::Intro) {
            g.note(0, kBed, 60, iBed, volume);
        } else {
            g.volume(0, kBed, volume);
        }
    }

    // Bass, pads, comping and arpeggios
    std::array<int, 3> voicing = {57, 60, 64};
    const bool comp = t_.harmony == Harmony::Stabs || t_.harmony == Harmony::Strum;
    const bool compHere = comp && (s.kind == Kind::A || s.kind == Kind::B || s.kind == Kind::C);
    const bool arpHere = !comp ? (s.kind != Kind::A || s.variant == 1 || s.kind == Kind::Intro)
                               : (s.kind == Kind::B);
    const int padVolume = s.kind == Kind::B ? 15 : (s.kind == Kind::Break ? 11 : (s.kind == Kind::A && s.variant == 0 ? 12 : 13));
    int previousChord = -100;
    for (int bar = 0; bar < bars; ++bar) {
        const int chord = chordAt(s.kind, bar);
        const int row = bar * kBarRows;
        voicing = voice(key_, chord, t_.sevenths, voicing);
        // Intros bring the bass in after the pads; breaks let it rest for their first half.
        const bool introSilentBass = s.kind == Kind::Intro && (s.units > 1 ? bar < kBarsPerPattern : bar < 2);
        const bool breakSilentBass = s.kind == Kind::Break && bar < bars / 2;
        if (!introSilentBass && !breakSilentBass) writeBass(g, s, bar, chord);
        if (compHere) {
            writeComp(g, row, voicing, rng);
        } else if (chord != previousChord || bar % 4 == 0) {
            int held = 1;
            while (bar + held < bars && held < 4 && chordAt(s.kind, bar + held) == chord && (bar + held) % 4 != 0) ++held;
            for (int v = 0; v < 3; ++v) g.note(row, kPad0 + v, voicing[static_cast<std::size_t>(v)], iPad, padVolume);
            if (style_.swells) writePadSwell(g, row, held * kBarRows, padVolume);
        }
        previousChord = chord;
        if (arpHere && !(s.kind == Kind::Intro && bar < 2)) writeArp(g, row, voicing, s.kind == Kind::Intro ? 16 : 20, (bar / 4) % 2 == 1 && s.kind != Kind::Intro ? 12 : 0);
    }

    // Lead, its echo and the answering voice
    if (s.kind == Kind::A || s.kind == Kind::B || s.kind == Kind::C) {
        const int center = 7 + (s.kind == Kind::B ? 2 : (s.kind == Kind::C ? 1 : 0));
        const double density = std::clamp(t_.density + (s.kind == Kind::B ? -0.15 : (s.kind == Kind::C ? 0.1 : 0.0)), 0.05, 0.95);
        const std::uint64_t seed = t_.seed * 131 + static_cast<std::uint64_t>(s.kind) * 17;
        MelodyMaker first(t_, progression(s.kind), seed, density, center);
        auto melody = first.eightBars();
        if (bars > 8) {
            // Bars 8-13 restate the opening a third higher; a fresh close ends the section.
            MelodyMaker again(t_, progression(s.kind), seed + 1 + static_cast<std::uint64_t>(s.variant), density, center);
            const auto alternative = again.eightBars();
            const auto opening = melody;
            for (const MelodyNote& n : opening) {
                if (n.row < 4 * kBarRows) melody.push_back({n.row + 8 * kBarRows, n.length, n.degree + 2, n.volume});
                if (n.row < 2 * kBarRows) melody.push_back({n.row + 12 * kBarRows, n.length, n.degree + 2, n.volume});
            }
            for (const MelodyNote& n : alternative) {
                if (n.row >= 6 * kBarRows) melody.push_back({n.row + 8 * kBarRows, n.length, n.degree, n.volume});
            }
        }
        std::sort(melody.begin(), melody.end(), [](const MelodyNote& a, const MelodyNote& b) { return a.row < b.row; });
        writeLead(g, melody, s.kind != Kind::A || s.variant == 1);
        // Choruses double the lead a third below.
        if (style_.doubleLead && s.kind == Kind::B) writeLead(g, melody, false, kLead2, -2);
    }
    if ((s.kind == Kind::A && s.variant == 1) || s.kind == Kind::Break || s.kind == Kind::B || s.kind == Kind::Outro ||
        s.kind == Kind::Intro) {
        writeCounter(g, s, rng);
    }
    if (formatOf(t_) == modwriter::Format::IT && style_.counter && (style_.pan == PanLayout::Wide || style_.pan == PanLayout::Mirror)) {
        // In the open mixes the answering voice wanders across the field, a bar to the right and
        // a bar back (IT's panning slide; the S3M tunes keep their fixed pans).
        // A step a tick: about twelve steps (of 64) each way, whatever the speed.
        const int rows = std::max(1, 12 / std::max(1, style_.speed - 1));
        for (int bar = 0; bar < bars; ++bar) {
            for (int r = 0; r < rows; ++r) g.effect(bar * kBarRows + r, kCounter, 'P', bar % 2 == 0 ? 0x01 : 0x10);
        }
    }
    if (style_.speedSwing) {
        // Long-short pairs of eighths from alternating speeds; each pair keeps the even length.
        for (int r = 0; r < g.rows(); r += 2) {
            g.effect(r, kControl, 'A', static_cast<std::uint8_t>(style_.speed + (r % 4 == 0 ? 1 : -1)));
        }
    } else if (t_.swing) {
        applySwing(g);
    }
    return g;
}

void Arranger::copyInto(Grid& to, const Grid& from, int offset) {
    for (int r = 0; r < from.rows(); ++r) {
        for (int c = 0; c < kChannels; ++c) {
            if (!from.at(r, c).empty()) to.at(offset + r, c) = from.at(r, c);
        }
    }
}

Grid Arranger::ending(int rows) {
    Grid g(rows);
    if (style_.speedSwing) g.effect(0, kControl, 'A', static_cast<std::uint8_t>(style_.speed));
    const std::array<int, 3> voicing = voice(key_, 0, false, {57, 62, 66});
    g.note(0, kKick, 60, iKick, 60);
    g.note(0, kPerc, 60, iCrash, 44);
    g.note(0, kBass, bassPitch(key_, 0) + style_.bassShift, iBass, 48);
    for (int v = 0; v < 3; ++v) g.note(0, kPad0 + v, voicing[static_cast<std::size_t>(v)], iPad, 30);
    g.note(0, kLead, t_.leadBase + style_.leadShift, iLead, 40);
    g.effect(2, kLead, 'H', static_cast<std::uint8_t>(t_.vibrato));
    g.note(0, kCounter, voicing[2] + 12, iCounter, 36);
    if (style_.bed.volume > 0) g.volume(0, kBed, style_.bed.volume);
    for (int r = 4; r < rows; r += 2) {
        const double left = 1.0 - static_cast<double>(r) / rows;
        const double shape = left * left;
        for (int c : {kBass, kPad0, kPad1, kPad2, kLead, kBed}) {
            const int start = g.at(0, c).volume;
            g.volume(r, c, static_cast<int>(std::lround(start * shape)));
        }
    }
    return g;
}

}  // namespace composer
