// The catalogue of the disk's own tunes: per track the file, title, length and
// the musical choices that make each one its own.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace composer {

enum class Mode { Ionian, Dorian, Phrygian, Lydian, Mixolydian, Aeolian, HarmonicMinor };
enum class Groove { FourFloor, Breakbeat, HalfTime, Shuffle, Electro, Ambient, Rock, Drive };
enum class BassStyle { Pulse, Octaves, Syncopated, Sustained, Walking, Arpeggio };
enum class Harmony { ArpUp, ArpUpDown, Stabs, Strum };
enum class LeadTone { Saw, Square, Pulse, Soft, Organ, Hollow, SuperSaw, Distorted };
enum class PadTone { Strings, Warm, Glass, Organ, Dark };
enum class BassTone { Saw, Square, Sub, Pluck, Fm, Distorted };
enum class BellTone { Pluck, Glass, EPiano, Chip, Marimba };
enum class Kit { Acoustic, Electro, Crushed, Soft };

struct TuneSpec {
    const char* file;
    const char* title;
    int seconds;
    int tempo;
    int speed;
    int root;  // pitch class of the tonic, 0 = C
    Mode mode;
    bool sevenths;
    std::array<int, 4> verse;   // scale degrees (0-based), one chord a bar
    std::array<int, 4> chorus;
    std::array<int, 4> bridge;
    Groove groove;
    BassStyle bass;
    Harmony harmony;
    LeadTone lead;
    PadTone pad;
    BassTone bassTone;
    BellTone arp;      // arpeggios and chord comping
    BellTone counter;  // the answering voice
    Kit kit;
    int arpStep;       // rows per arpeggio note
    double density;    // 0 (long notes) .. 1 (busy) for the lead
    int leadBase;      // note of the lead's tonic
    int form;          // 0..2, order of the sections
    bool swing;
    int vibrato;       // lead vibrato parameter
    double gainDb;     // trim that brings every tune to the same loudness
    std::uint64_t seed;
};

const std::vector<TuneSpec>& catalogue();

}  // namespace composer
