// Sample synthesis for the composer: drums from noise and swept sines, tonal
// voices from additive, plucked-string and FM models. Pitched samples sound
// middle C at note 60, with loops that hold a whole number of cycles.
#pragma once

#include "modwriter/Song.h"

#include <cstdint>
#include <string>
#include <vector>

namespace composer::synth {

constexpr int kPeriod = 128;                // samples per cycle at note 60
constexpr std::uint32_t kTonalRate = 33488; // kPeriod * 261.63 Hz

enum class Wave { Saw, Square, Pulse, Triangle, Sine, Organ, Hollow };

struct ToneParams {
    Wave wave = Wave::Saw;
    int harmonics = 24;
    double pulseWidth = 0.25;
    double brightStart = 16; // low-pass corner, in harmonics, at the attack
    double brightEnd = 6;    // ... and once settled
    double brightTime = 0.2; // seconds for the corner to settle
    double attack = 0.005;   // seconds
    double decay = 0.3;      // seconds from peak to the sustain level
    double sustain = 0.7;
    double attackLength = 0.4; // seconds before the loop starts
    int loopPeriods = 128;
    int detune = 0;      // extra cycles per loop for the chorus voices (0 = single voice)
    int voices = 1;      // 1..3
    double drive = 0;    // tanh saturation amount
    double sub = 0;      // sine an octave below
    double movement = 0; // depth of the slow sweep of colour through the loop (0..0.8)
    double breath = 0;   // level of a noise layer under the tone
    int topNote = 84;    // highest note the sample is played at; caps the partials
};

modwriter::Sample tone(const std::string& name, const ToneParams& p);

// Plucked string (Karplus-Strong): no loop, decays on its own.
modwriter::Sample pluck(const std::string& name, double brightness, double seconds, int topNote, std::uint64_t seed);

// Two-operator FM: integer ratios stay harmonic (electric piano), others ring like glass.
modwriter::Sample fm(const std::string& name, double ratio, double index, double indexTime, double seconds,
    int topNote);

struct KickParams {
    double startHz = 160, endHz = 50, sweepTime = 0.04, decay = 0.35, click = 0.3, drive = 1.5;
};
modwriter::Sample kick(const std::string& name, const KickParams& p, std::uint64_t seed);
modwriter::Sample snare(const std::string& name, double toneHz, double noiseDecay, double snap, std::uint64_t seed);
modwriter::Sample clap(const std::string& name, double decay, std::uint64_t seed);
// Cymbals stop at topHz: the kit's colour, and nothing near the top octave.
modwriter::Sample hat(const std::string& name, double decay, double tone, double topHz, std::uint64_t seed);
modwriter::Sample crash(const std::string& name, double seconds, double topHz, std::uint64_t seed);
// Struck metal bar: inharmonic partials; spread moves the inner ones.
modwriter::Sample metal(const std::string& name, double seconds, double spread);
modwriter::Sample tom(const std::string& name, double startHz, double endHz, double decay);
modwriter::Sample shaker(const std::string& name, double decay, std::uint64_t seed);

// A tune's tone colour, as a listener hears it (output frequencies): a high-pass that thins the
// low end, one bell-shaped boost or cut, a shelf above 3 kHz and a low-pass that darkens the top.
struct Colour {
    double lowCutHz = 0; // 0 = none
    double peakHz = 1000;
    double peakDb = 0;
    double shelfDb = 0;
    double highCutHz = 0; // 0 = none
};

// Applies `colour` to a sample that sounds `semitones` away from its own pitch, as it is played.
// Loops stay seamless and the sample never gets louder than it was made.
void colourSample(modwriter::Sample& s, const Colour& colour, double semitones);

// A tune's mix balance, over every sample whatever its colour: a tilt in dB per octave between
// about 63 Hz and 8 kHz with 1 kHz kept (a warm, bass-heavy mix below zero, a thin and bright one
// above), and bells that lift or scoop a region of the mix.
struct MixEq {
    struct Bell {
        double hz;
        double db;
    };
    double tiltDb = 0;
    std::vector<Bell> bells;
};

// Applies `eq` to a sample that sounds `semitones` away from its own pitch. Like the colour, it
// never makes a sample louder than it was made.
void eqSample(modwriter::Sample& s, const MixEq& eq, double semitones);

// Noise in a band around `hz`, `octaves` wide, looping seamlessly, for a sound a piece calls for at
// a moment (surf, steam); `sway` swells it `swells` times per loop.
modwriter::Sample noise(const std::string& name, double hz, double octaves, double sway, int swells,
    std::uint64_t seed);

// Lowers the resolution to `bits`, rounding to the nearest step.
void crush(modwriter::Sample& s, int bits);

} // namespace composer::synth
