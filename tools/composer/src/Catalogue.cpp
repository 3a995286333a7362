#include "Tune.h"

namespace composer {

const std::vector<TuneSpec>& catalogue() {
    static const std::vector<TuneSpec> tunes = {
        {"HGLASS.IT", "Harbour of Glass", 191},
        {"MWDRIFT.IT", "Moonwalker Drift", 230},
        {"QENGINE.IT", "Quiet Engines", 210},
        {"RUST.S3M", "Rust", 225},
        {"LOWORBIT.S3M", "Low Orbit", 271},
        {"TYL.S3M", "Tie your laces tight", 215},
        {"TLO-TIDE.S3M", "The Long Tide", 198},
        {"--UNDER-.IT", "Undertow", 226},
        {"1_SATRN.IT", "Poker Under Saturn", 196},
        {"FSHORE.IT", "Arrival: Far Shore", 249},
        {"EVDEIM.IT", "The Evenings of Deimos", 216},
        {"GLIDING.IT", "/Gliding Past Noon/", 409},
        {"IRONCOUR.IT", "Iron Age Courier", 237},
        {"TSOMS.IT", "TheSongsOfMySleep", 218},
        {"FLICK.S3M", "<flicker>", 115},
        {"PAWALMPL.S3M", "Papa Was A Lamp Lighter", 399},
        {"I-P-K.S3M", "Ikkunanpesukone", 252},
        {"X_HEAVY.IT", "Heavy Water Crossing", 137},
    };
    return tunes;
}

}  // namespace composer
