#include "Instruments.h"

#include "Arrangement.h"
#include "Composer.h"
#include "Style.h"
#include "Synth.h"

#include <algorithm>
#include <string>

namespace composer {

namespace {

// The tune's colour on a tone: brightness, enough partials for it, the highest note it must
// survive and how much the loop moves.
void colour(synth::ToneParams& p, double bright, int harmonics, int topNote, double movement) {
    p.brightStart *= bright;
    p.brightEnd *= bright;
    p.harmonics = std::max(p.harmonics, harmonics);
    p.topNote = topNote;
    p.movement = movement;
}

// The lowest note the lead's top sample plays; below it the low sample takes over.
int leadSplit(int leadTop) { return std::max(60, leadTop) - 12; }

}  // namespace

std::vector<modwriter::Sample> makeSamples(const TuneSpec& t, const std::vector<int>& topNotes, const std::vector<int>& centreNotes) {
    using namespace synth;
    std::vector<modwriter::Sample> s;
    const Style& style = styleOf(t);
    const auto top = [&](int ins) { return std::max(60, topNotes.at(static_cast<std::size_t>(ins - 1))); };
    const std::uint64_t seed = t.seed * 7919;

    KickParams kp;
    switch (t.kit) {
        case Kit::Acoustic: kp = {120, 52, 0.03, 0.28, 0.5, 1.2}; break;
        case Kit::Electro: kp = {180, 46, 0.05, 0.45, 0.25, 1.6}; break;
        case Kit::Crushed: kp = {200, 55, 0.03, 0.3, 0.6, 3.0}; break;
        case Kit::Soft: kp = {110, 48, 0.04, 0.32, 0.1, 1.0}; break;
    }
    kp.decay *= 0.65;  // short kicks read as hits, not as a low hum under the bass
    // Light tunes leave the lowest octave empty: a tight kick and no sub under the bass.
    const bool light = style.colour.lowCutHz > 0;
    if (light) {
        kp.endHz *= 1.8;
        kp.startHz *= 1.3;
    }
    s.push_back(kick("kick", kp, seed + 1));
    if (t.kit == Kit::Electro) {
        s.push_back(clap("clap", 0.09, seed + 2));
    } else {
        s.push_back(snare("snare", t.kit == Kit::Soft ? 210 : 185, t.kit == Kit::Crushed ? 0.12 : 0.16,
                          t.kit == Kit::Soft ? 0.6 : 0.9, seed + 2));
    }
    // Each kit has its own metal: darker and shorter for soft kits, brighter and longer for crushed ones.
    double metalTone = 1.0;
    switch (t.kit) {
        case Kit::Acoustic: metalTone = 0.95; break;
        case Kit::Electro: metalTone = 1.1; break;
        case Kit::Crushed: metalTone = 1.2; break;
        case Kit::Soft: metalTone = 0.8; break;
    }
    metalTone += 0.04 * static_cast<double>(t.seed % 5);
    s.push_back(hat("closed hat", t.kit == Kit::Soft ? 0.03 : 0.045, metalTone, style.cymbalTop, seed + 3));
    s.push_back(hat("open hat", t.kit == Kit::Crushed ? 0.3 : 0.2, metalTone, style.cymbalTop, seed + 4));
    s.push_back(crash("crash", t.kit == Kit::Soft ? 2.2 : 1.6, style.cymbalTop, seed + 5));
    if (style.metalPerc) {
        s.push_back(metal("metal", 0.9, 1.0 + 0.03 * static_cast<double>(t.seed % 7)));
    } else if (t.groove == Groove::Ambient || t.groove == Groove::HalfTime) {
        s.push_back(shaker("shaker", 0.05, seed + 6));
    } else if (t.groove == Groove::Electro) {
        s.push_back(clap("clap", 0.12, seed + 6));
    } else {
        s.push_back(tom("tom", 190, 120, 0.18));
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
    colour(bass, style.bright, 40, top(iBass), t.bassTone == BassTone::Fm || t.bassTone == BassTone::Square ? 0.3 : 0.1);
    if (light) bass.sub = 0;
    s.push_back(tone("bass", bass));

    ToneParams pad;
    switch (t.pad) {
        case PadTone::Strings: pad = {Wave::Saw, 24, 0.25, 6, 5, 0.5, 0.25, 0.5, 0.85, 0.4, 128, 1, 3, 0, 0}; break;
        case PadTone::Warm: pad = {Wave::Pulse, 20, 0.35, 5, 3.5, 0.6, 0.15, 0.6, 0.8, 0.35, 128, 1, 2, 0, 0}; break;
        case PadTone::Glass: pad = {Wave::Hollow, 24, 0.25, 14, 9, 0.3, 0.12, 0.6, 0.7, 0.35, 128, 1, 3, 0, 0}; break;
        case PadTone::Organ: pad = {Wave::Organ, 8, 0.25, 20, 20, 0.1, 0.02, 0.2, 0.9, 0.2, 128, 1, 2, 0, 0}; break;
        case PadTone::Dark: pad = {Wave::Square, 20, 0.25, 5, 3, 0.3, 0.1, 0.4, 0.8, 0.3, 128, 1, 3, 0.8, 0}; break;
    }
    colour(pad, 1.6 * style.bright, 40, top(iPad), 0.35);
    pad.breath = t.pad == PadTone::Strings || t.pad == PadTone::Glass ? 0.05 : 0.02;
    pad.loopPeriods = 256;
    s.push_back(tone("pad", pad));

    auto bell = [&](BellTone b, const std::string& name, int topNote, std::uint64_t n) {
        const double b2 = style.bright;
        switch (b) {
            case BellTone::Pluck: return pluck(name, std::min(1.0, 0.55 * b2), 1.4, topNote, n);
            case BellTone::Glass: return fm(name, 3.5, 2.2 * b2, 0.25, 1.8, topNote);
            case BellTone::EPiano: return fm(name, 1.0, 1.6 * b2, 0.35, 1.6, topNote);
            case BellTone::Marimba: return fm(name, 4.0, 1.8 * b2, 0.05, 0.5, topNote);
            case BellTone::Chip: {
                ToneParams c{Wave::Pulse, 32, 0.25, 16 * b2, 16 * b2, 0.1, 0.002, 0.12, 0.35, 0.2, 32, 0, 1, 0, 0};
                c.topNote = topNote;
                return tone(name, c);
            }
        }
        return pluck(name, 0.5, 1.0, topNote, n);
    };
    s.push_back(bell(t.arp, "arp", top(iArp), seed + 7));

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
    // Leads get more upper partials than before, a breath layer and a slow sweep through the loop.
    colour(lead, 1.45 * style.bright, 32, top(iLead), 0.25);
    lead.breath = t.lead == LeadTone::Soft || t.lead == LeadTone::Hollow ? 0.08 : 0.03;
    s.push_back(tone("lead", lead));
    s.push_back(bell(t.counter, "counter", top(iCounter), seed + 8));

    s.push_back(shaker("shaker", t.kit == Kit::Soft ? 0.07 : 0.04, seed + 9));
    s.push_back(tom("tom", t.kit == Kit::Crushed ? 160 : 130, 80, 0.22));
    const Style::Bed& b = style.bed;
    s.push_back(bed("bed", b.hz, b.octaves, b.sway, b.swells, seed + 10));
    if (formatOf(t) == modwriter::Format::IT) {
        // The lead's lower notes play a second sample, band-limited an octave lower, so they keep
        // the partials the top notes must lose.
        ToneParams low = lead;
        low.topNote = leadSplit(top(iLead)) - 1;
        s.push_back(tone("lead low", low));
    }

    for (std::size_t i = 0; i < s.size(); ++i) {
        // Cymbals mostly keep the kit's own colour and corner: a lift in the presence range would
        // only sharpen their hits, the whole of a darker top would bury them.
        synth::Colour c = style.colour;
        const int n = static_cast<int>(i + 1);
        const bool cymbal = n == iHat || n == iOpenHat || n == iCrash || n == iShaker;
        if (cymbal) {
            c.peakDb = std::min(c.peakDb, 0.0) / 2;
            c.shelfDb = std::min(c.shelfDb, 0.0) / 2;
        }
        colourSample(s[i], c, centreNotes.at(i < centreNotes.size() ? i : iLead - 1) - 60);
        // With nothing low to hide behind, a light tune's cymbals sit further back.
        if (cymbal && light) {
            for (std::int16_t& v : s[i].data) v = static_cast<std::int16_t>(v * 7 / 10);
        }
    }
    // Resolution is lowered last, on the coloured sound.
    if (t.kit == Kit::Crushed) {
        for (std::size_t i : {0u, 1u, 2u, 6u}) synth::crush(s[i], 8);
    }
    synth::crush(s[iBed - 1], 8);  // noise loses nothing at 8 bits, and the file half its size
    return s;
}

std::vector<modwriter::Instrument> makeInstruments(const std::vector<modwriter::Sample>& samples, const TuneSpec& t,
                                                   const std::vector<int>& topNotes) {
    using NNA = modwriter::Instrument::NewNoteAction;
    std::vector<modwriter::Instrument> out;
    for (std::size_t i = 0; i < std::min<std::size_t>(samples.size(), iBed); ++i) {
        modwriter::Instrument ins;
        ins.name = samples[i].name;
        ins.sample = static_cast<int>(i + 1);
        const int n = static_cast<int>(i + 1);
        if (n == iPad) {
            ins.newNoteAction = NNA::Fade;
            ins.fadeout = std::max(8, t.tempo / 5);
            // A slow bloom, a gentle dip and a long hold while the key is down.
            ins.volumeEnvelope = {{0, 20}, {12, 64}, {40, 50}, {80, 54}};
            ins.sustainPoint = 3;
        } else if (n == iLead) {
            ins.newNoteAction = NNA::Cut;
            ins.fadeout = 96;
            ins.volumeEnvelope = {{0, 64}, {6, 56}, {30, 48}};
            ins.sustainPoint = 2;
            if (samples.size() > iBed) {
                // Below the split the lead plays its brighter low sample.
                ins.keyboard.assign(120, iLead);
                const int split = leadSplit(topNotes.at(iLead - 1));
                for (int note = 0; note < split; ++note) ins.keyboard[static_cast<std::size_t>(note)] = iBed + 1;
            }
            // Growling leads scoop up into each note from a semitone below.
            if (t.lead == LeadTone::Distorted || t.lead == LeadTone::Saw) ins.pitchEnvelope = {{0, -2}, {3, 0}};
        } else if (n == iBass) {
            ins.fadeout = 256;
        } else if (n == iArp || n == iCounter) {
            ins.newNoteAction = NNA::Fade;
            ins.fadeout = 48;
            ins.volumeEnvelope = {{0, 64}, {4, 56}, {60, 24}, {200, 0}};
            // In the wide tunes every arpeggio note drifts across the field as it rings.
            if (n == iArp && styleOf(t).pan == PanLayout::Wide) ins.panEnvelope = {{0, -10}, {30, 10}, {90, -4}};
        } else if (n == iBed) {
            ins.fadeout = 64;
        } else if (n == iOpenHat || n == iCrash) {
            ins.newNoteAction = NNA::Continue;
        } else {
            ins.fadeout = 512;
        }
        out.push_back(ins);
    }
    return out;
}

}  // namespace composer
