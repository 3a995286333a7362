// The character of each tune beyond its key and sounds: how fast its rows tick, which parts
// play, where they sit in the stereo field and which tracker effects carry its expression.
#pragma once

#include "Synth.h"
#include "Tune.h"

#include <array>

namespace composer {

enum class PanLayout { Wide, Narrow, Mirror, Centre };

struct Style {
    int speed;          // ticks per row (3..12); the tempo field follows so a row keeps its length
    int hatSteps;       // rows between closed hats: 1 (sixteenths), 2 (eighths) or 4
    bool counter;       // the answering voice plays
    bool echo;          // the lead's echo channel plays
    bool doubleLead;    // a second lead channel a third or sixth below in choruses
    bool shaker;        // a shaker or ride layer on its own channel
    bool toms;          // tom fills on their own channel
    bool chipArp;       // held notes sparkle with Jxy
    bool glide;         // the lead slides between near notes (Gxx)
    bool bassSlide;     // the bass bends into some notes (Gxx) or drops away (Exx)
    bool hatPan;        // the hats move across the field (Xxx)
    bool swells;        // pads swell in and fade with volume slides (Dxy)
    bool speedSwing;    // swing from alternating speeds (Axx) instead of note delays
    PanLayout pan;
    int metalPerc;      // 0 = style's percussion; 1 = struck metal replaces it
    // Colour of the whole tune: how bright its tones are, how loud its bass sits, the lead's
    // octave and where its cymbals stop.
    double bright;      // multiplies every tone's brightness (0.5 dark .. 2 bright)
    int bassGain;       // added to the bass line's volumes
    int leadShift;      // semitones added to the lead
    double cymbalTop;   // low-pass corner of hats and cymbals, Hz
    int bassShift;      // semitones added to the bass line (12 = a light bass without sub)
    // Level of each part in the mix, percent of its written volume: kit, bass, pads and comping,
    // arpeggio and counter-voice, lead. What dominates the spectrum differs from tune to tune.
    std::array<int, 5> mix;
    // The tune's tone colour over everything it plays: a thin radio, a dark tide, a bright rattle.
    synth::Colour colour;
    // A bed of shaped noise under the whole tune: surf, engine hum, wind, the hiss of a record.
    struct Bed {
        int volume;      // 0 = none
        double hz;       // centre of its band
        double octaves;  // width of its band
        double sway;     // how deeply it swells (0..1)
        int swells;      // swells per loop of 4.7 seconds
    } bed;
};

// The share of the mix a logical channel belongs to (an index into Style::mix), or -1.
int mixGroup(int channel);

const Style& styleOf(const TuneSpec& t);

}  // namespace composer
