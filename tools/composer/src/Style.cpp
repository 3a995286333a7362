#include "Style.h"

#include "Arrangement.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace composer {

namespace {

struct Entry {
    const char* file;
    Style style;
};

using P = PanLayout;

// speed, hats, counter, echo, doubleLead, shaker, toms, chipArp, glide, bassSlide, hatPan, swells, speedSwing, pan, metal,
// bright, bassGain, leadShift, cymbalTop, bassShift, mix (kit, bass, pads, keys, lead),
// colour (low cut Hz, peak Hz, peak dB, shelf dB above 3 kHz, high cut Hz)
const Entry kStyles[] = {
    // Glassy harbour: slow ticks for long swells, bells answering across a wide field.
    {"HGLASS.IT", {8, 1, true, true, false, true, false, false, true, false, true, true, false, P::Wide, 0, 1.6, -6, 0, 7000, 12, {83, 80, 115, 126, 103}, {250, 2200, 8, 2, 0}, {64, 5000, 1.0, 0.3, 1}}},
    // Moonwalking groove: sliding funk bass, stabs, sixteenth hats, swing from speed changes.
    {"MWDRIFT.IT", {5, 1, true, false, false, true, false, false, false, true, true, false, true, P::Mirror, 0, 1.0, 8, 0, 7500, 0, {134, 60, 75, 80, 90}, {0, 400, -10, 2, 0}, {64, 900, 1.5, 0.6, 1}}},
    // Machines ticking over: fast ticks, hat rolls, arpeggiated chip voices, no counter-voice.
    {"QENGINE.IT", {4, 1, false, true, false, false, false, true, false, false, false, false, false, P::Narrow, 1, 0.8, 4, 0, 6000, 12, {130, 60, 75, 88, 80}, {0, 2000, -6, -6, 0}, {64, 900, 0.7, 0.8, 8}}},
    // Industrial rust: struck metal and toms, bent bass, close narrow mix.
    {"RUST.S3M", {6, 1, false, false, true, false, true, false, false, true, false, false, false, P::Narrow, 1, 2.2, 0, 0, 8500, 0, {129, 85, 90, 70, 80}, {0, 400, -3, 0, 0}, {58, 2800, 0.5, 0.8, 3}}},
    // Low orbit: long glides and swells, sparse drums, wide.
    {"LOWORBIT.S3M", {8, 1, true, true, false, true, false, false, true, false, true, true, false, P::Wide, 0, 0.7, 6, 0, 6000, 0, {100, 120, 100, 80, 100}, {0, 1200, -7, -6, 0}, {64, 2500, 2.0, 0.8, 2}}},
    // Running shoes: quick breakbeat, busy hats and chip arpeggios.
    {"TYL.S3M", {3, 1, true, false, true, false, true, true, false, false, true, false, false, P::Mirror, 0, 1.5, -4, 12, 10500, 12, {106, 88, 125, 125, 138}, {250, 2000, 8, 0, 9000}, {30, 7000, 0.8, 0.0, 1}}},
    // Long tide: slow ticks, everything swells and ebbs, almost no drums.
    {"TLO-TIDE.S3M", {10, 1, true, true, false, true, false, false, true, false, false, true, false, P::Wide, 0, 0.9, 2, 0, 6000, 0, {80, 80, 100, 110, 90}, {0, 250, 6, -8, 0}, {47, 1200, 2.5, 0.8, 1}}},
    // Undertow: bass that drags downwards, echoes pulling across.
    {"--UNDER-.IT", {6, 1, true, true, false, false, false, false, false, true, true, true, false, P::Mirror, 0, 0.6, 10, 0, 6500, 0, {130, 94, 100, 70, 80}, {0, 1000, -9, -6, 8000}, {64, 120, 1.0, 0.5, 2}}},
    // Smoky card game: brushes, walking bass, lazy swing from the speed.
    {"1_SATRN.IT", {6, 2, true, false, false, true, false, false, true, false, false, false, true, P::Centre, 0, 1.2, 0, 0, 7500, 12, {131, 98, 91, 105, 112}, {220, 1100, 8, 0, 0}, {20, 3500, 2.0, 0.0, 1}}},
    // Arrival: the full band, doubled lead, toms and crashes, wide.
    {"FSHORE.IT", {4, 1, true, true, true, true, true, false, false, false, true, true, false, P::Wide, 0, 1.4, 4, 0, 9500, 0, {112, 90, 100, 90, 110}, {0, 650, -10, 3, 0}, {64, 2000, 3.0, 0.7, 1}}},
    // Martian evenings: wandering vibrato lead, echo, broken beat.
    {"EVDEIM.IT", {7, 1, true, true, false, true, false, false, true, false, true, true, false, P::Mirror, 0, 1.2, -2, 0, 6500, 12, {94, 50, 110, 110, 121}, {220, 2200, 6, -2, 0}, {64, 600, 0.6, 0.8, 2}}},
    // Slow glide: long tones sliding into each other.
    {"GLIDING.IT", {9, 1, true, true, true, true, false, false, true, true, true, true, false, P::Wide, 0, 1.5, 0, 0, 6500, 12, {58, 70, 100, 90, 110}, {90, 1500, 9, 2, 0}, {36, 1500, 0.8, 0.8, 2}}},
    // Courier on horseback: galloping hats, chip arpeggios, toms.
    {"IRONCOUR.IT", {3, 1, false, false, true, false, true, true, false, false, false, false, false, P::Narrow, 1, 2.0, -4, 0, 10500, 12, {100, 70, 100, 100, 100}, {0, 2000, -9, -4, 0}, {64, 250, 1.5, 0.6, 6}}},
    // Lullaby: music box and swells, the slowest ticks, hardly any drums.
    {"TSOMS.IT", {12, 2, true, true, false, true, false, false, true, false, false, true, false, P::Centre, 0, 0.8, -8, 12, 6000, 12, {80, 60, 100, 120, 90}, {280, 2000, 6, -3, 0}, {64, 4000, 1.5, 0.6, 1}}},
    // Flicker: retriggers, chip arpeggios and hats flicking side to side.
    {"FLICK.S3M", {3, 1, false, false, false, false, false, true, false, false, true, false, false, P::Narrow, 0, 2.0, -6, 12, 8000, 12, {98, 30, 60, 100, 110}, {220, 1800, 7, 3, 0}, {35, 6000, 0.5, 0.9, 12}}},
    // Lamplighter's swing: walking steps, swing from the speed, brushes.
    {"PAWALMPL.S3M", {6, 2, true, true, false, true, false, false, false, false, false, true, true, P::Centre, 0, 1.4, 2, 0, 6500, 12, {78, 44, 85, 94, 99}, {250, 900, 7, 0, 0}, {33, 2500, 1.0, 0.8, 3}}},
    // Window-washing machine: wiping pans, mechanical arpeggios, sliding bass.
    {"I-P-K.S3M", {4, 1, true, false, false, false, false, true, false, true, true, false, false, P::Mirror, 1, 1.7, 0, 0, 8500, 12, {94, 66, 187, 121, 110}, {220, 3000, 6, 2, 0}, {37, 3000, 3.0, 0.7, 2}}},
    // Heavy crossing: slow and low, toms, bent bass, doubled lead.
    {"X_HEAVY.IT", {7, 1, false, true, true, true, true, false, true, true, false, true, false, P::Narrow, 1, 0.7, 10, -12, 6000, 0, {129, 85, 100, 70, 80}, {0, 1500, 2, -6, 0}, {64, 1500, 1.5, 0.8, 2}}},
};

}  // namespace

int mixGroup(int channel) {
    switch (channel) {
        case kKick: case kSnare: case kHat: case kPerc: case kShaker: case kTom: return 0;
        case kBass: return 1;
        case kPad0: case kPad1: case kPad2: return 2;
        case kArp: case kCounter: return 3;
        case kLead: case kEcho: case kLead2: return 4;
        default: return -1;
    }
}

const Style& styleOf(const TuneSpec& t) {
    for (const Entry& e : kStyles) {
        if (std::strcmp(e.file, t.file) == 0) return e.style;
    }
    throw std::invalid_argument(std::string("no style for ") + t.file);
}

}  // namespace composer
