#include "Tune.h"

namespace composer {

const std::vector<TuneSpec>& catalogue() {
    using M = Mode;
    using G = Groove;
    using B = BassStyle;
    using H = Harmony;
    using L = LeadTone;
    using P = PadTone;
    using BT = BassTone;
    using C = BellTone;
    using K = Kit;
    static const std::vector<TuneSpec> tunes = {
        {"HGLASS.IT", "Harbour of Glass", 191, 96, 6, 2, M::Lydian, false, {0, 1, 5, 4}, {5, 1, 0, 4}, {2, 5, 1, 1},
         G::HalfTime, B::Syncopated, H::ArpUpDown, L::Hollow, P::Glass, BT::Sub, C::Glass, C::Glass, K::Soft,
         1, 0.35, 74, 0, false, 0x43, 7.0, 101},
        {"MWDRIFT.IT", "Moonwalker Drift", 230, 114, 6, 9, M::Dorian, true, {0, 3, 0, 3}, {5, 6, 0, 4}, {2, 3, 4, 4},
         G::FourFloor, B::Syncopated, H::Stabs, L::Square, P::Warm, BT::Fm, C::EPiano, C::Pluck, K::Electro,
         1, 0.6, 69, 1, true, 0x52, 3.5, 202},
        {"QENGINE.IT", "Quiet Engines", 210, 112, 6, 4, M::Aeolian, false, {0, 5, 2, 6}, {3, 0, 4, 5}, {5, 6, 0, 0},
         G::Electro, B::Pulse, H::ArpUp, L::Soft, P::Warm, BT::Sub, C::Pluck, C::Marimba, K::Electro,
         1, 0.45, 64, 2, false, 0x32, 2.7, 303},
        {"RUST.S3M", "Rust", 225, 128, 6, 5, M::Phrygian, false, {0, 1, 0, 6}, {5, 6, 0, 1}, {3, 2, 1, 0},
         G::Rock, B::Octaves, H::Stabs, L::Distorted, P::Dark, BT::Distorted, C::Chip, C::Chip, K::Crushed,
         2, 0.55, 65, 0, false, 0x44, 1.6, 404},
        {"LOWORBIT.S3M", "Low Orbit", 271, 86, 6, 0, M::Dorian, false, {0, 2, 3, 0}, {6, 3, 0, 4}, {1, 2, 3, 6},
         G::HalfTime, B::Sustained, H::ArpUpDown, L::Hollow, P::Strings, BT::Sub, C::Glass, C::EPiano, K::Soft,
         1, 0.3, 72, 1, false, 0x53, 3.0, 505},
        {"TYL.S3M", "Tie your laces tight", 215, 150, 6, 7, M::Ionian, false, {0, 4, 5, 3}, {3, 4, 0, 5}, {1, 4, 2, 5},
         G::Breakbeat, B::Octaves, H::ArpUp, L::Pulse, P::Warm, BT::Square, C::Chip, C::Pluck, K::Acoustic,
         2, 0.7, 67, 2, false, 0x62, 6.6, 606},
        {"TLO-TIDE.S3M", "The Long Tide", 198, 78, 6, 11, M::Aeolian, false, {0, 3, 5, 4}, {5, 2, 6, 0}, {3, 4, 5, 6},
         G::Ambient, B::Sustained, H::Strum, L::Soft, P::Strings, BT::Saw, C::Pluck, C::Glass, K::Soft,
         2, 0.25, 71, 0, false, 0x43, 5.4, 707},
        {"--UNDER-.IT", "Undertow", 226, 118, 6, 1, M::HarmonicMinor, false, {0, 3, 4, 0}, {5, 3, 4, 4}, {5, 1, 4, 0},
         G::Electro, B::Syncopated, H::ArpUp, L::Saw, P::Dark, BT::Saw, C::Pluck, C::Glass, K::Electro,
         1, 0.5, 61, 1, false, 0x54, 1.9, 808},
        {"1_SATRN.IT", "Poker Under Saturn", 196, 98, 6, 10, M::Ionian, true, {1, 4, 0, 0}, {5, 1, 4, 0}, {3, 6, 2, 5},
         G::Shuffle, B::Walking, H::Stabs, L::Organ, P::Organ, BT::Pluck, C::EPiano, C::EPiano, K::Acoustic,
         2, 0.55, 70, 2, true, 0x63, 7.7, 909},
        {"FSHORE.IT", "Arrival: Far Shore", 249, 124, 6, 3, M::Ionian, false, {5, 3, 0, 4}, {0, 4, 5, 3}, {1, 3, 4, 4},
         G::FourFloor, B::Octaves, H::ArpUpDown, L::SuperSaw, P::Strings, BT::Saw, C::Pluck, C::Glass, K::Electro,
         1, 0.4, 63, 0, false, 0x43, 2.3, 1010},
        {"EVDEIM.IT", "The Evenings of Deimos", 216, 92, 6, 7, M::HarmonicMinor, false, {0, 5, 3, 4}, {5, 3, 0, 4}, {3, 0, 1, 4},
         G::Breakbeat, B::Sustained, H::ArpUpDown, L::Hollow, P::Strings, BT::Fm, C::EPiano, C::Glass, K::Acoustic,
         1, 0.4, 67, 1, false, 0x44, 7.5, 1111},
        {"GLIDING.IT", "/Gliding Past Noon/", 409, 90, 6, 5, M::Lydian, true, {0, 1, 0, 1}, {5, 4, 1, 0}, {2, 5, 4, 1},
         G::FourFloor, B::Syncopated, H::Stabs, L::Hollow, P::Warm, BT::Sub, C::EPiano, C::Glass, K::Soft,
         2, 0.35, 65, 2, true, 0x42, 5.8, 1212},
        {"IRONCOUR.IT", "Iron Age Courier", 237, 140, 6, 2, M::Aeolian, false, {0, 6, 5, 6}, {5, 2, 6, 0}, {3, 4, 3, 4},
         G::Drive, B::Pulse, H::ArpUp, L::Distorted, P::Dark, BT::Distorted, C::Chip, C::Pluck, K::Acoustic,
         1, 0.6, 62, 0, false, 0x54, 1.9, 1313},
        {"TSOMS.IT", "TheSongsOfMySleep", 218, 72, 6, 9, M::Ionian, false, {0, 5, 3, 4}, {3, 4, 5, 5}, {1, 2, 3, 4},
         G::Ambient, B::Sustained, H::ArpUpDown, L::Soft, P::Glass, BT::Sub, C::Glass, C::Marimba, K::Soft,
         1, 0.2, 69, 1, false, 0x32, 6.6, 1414},
        {"FLICK.S3M", "<flicker>", 115, 160, 6, 6, M::Aeolian, false, {0, 5, 3, 6}, {5, 6, 0, 4}, {3, 3, 5, 6},
         G::Breakbeat, B::Octaves, H::ArpUp, L::Square, P::Dark, BT::Square, C::Chip, C::Chip, K::Crushed,
         1, 0.75, 66, 2, false, 0x63, 6.9, 1515},
        {"PAWALMPL.S3M", "Papa Was A Lamp Lighter", 399, 124, 6, 0, M::Mixolydian, false, {0, 6, 3, 0}, {3, 0, 6, 4}, {4, 3, 6, 0},
         G::Rock, B::Pulse, H::Strum, L::Hollow, P::Organ, BT::Pluck, C::Pluck, C::Marimba, K::Acoustic,
         1, 0.45, 72, 0, false, 0x53, 6.8, 1616},
        {"I-P-K.S3M", "Ikkunanpesukone", 252, 132, 6, 4, M::Mixolydian, false, {0, 4, 6, 3}, {3, 6, 0, 0}, {1, 2, 3, 4},
         G::Electro, B::Arpeggio, H::ArpUpDown, L::Pulse, P::Warm, BT::Square, C::Marimba, C::Chip, K::Electro,
         1, 0.65, 64, 1, true, 0x64, 5.6, 1717},
        {"X_HEAVY.IT", "Heavy Water Crossing", 137, 100, 6, 9, M::Phrygian, false, {0, 1, 0, 5}, {5, 6, 1, 0}, {3, 1, 0, 0},
         G::HalfTime, B::Octaves, H::Stabs, L::Distorted, P::Dark, BT::Distorted, C::Pluck, C::Chip, K::Crushed,
         2, 0.5, 57, 2, false, 0x45, 1.8, 1818},
    };
    return tunes;
}

}  // namespace composer
