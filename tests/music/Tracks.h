// The track list the disk plays: module file, length in seconds, song name.
#pragma once

#include <array>

namespace musictest {

struct Track {
    const char* file;
    int seconds;
    const char* title;
    const char* type;
};

inline constexpr std::array<Track, 18> kTracks = {{
    {"HGLASS.IT", 191, "Harbour of Glass", "it"},
    {"MWDRIFT.IT", 230, "Moonwalker Drift", "it"},
    {"QENGINE.IT", 210, "Quiet Engines", "it"},
    {"RUST.S3M", 225, "Rust", "s3m"},
    {"LOWORBIT.S3M", 271, "Low Orbit", "s3m"},
    {"TYL.S3M", 215, "Tie your laces tight", "s3m"},
    {"TLO-TIDE.S3M", 198, "The Long Tide", "s3m"},
    {"--UNDER-.IT", 226, "Undertow", "it"},
    {"1_SATRN.IT", 196, "Poker Under Saturn", "it"},
    {"FSHORE.IT", 249, "Arrival: Far Shore", "it"},
    {"EVDEIM.IT", 216, "The Evenings of Deimos", "it"},
    {"GLIDING.IT", 409, "/Gliding Past Noon/", "it"},
    {"IRONCOUR.IT", 237, "Iron Age Courier", "it"},
    {"TSOMS.IT", 218, "TheSongsOfMySleep", "it"},
    {"FLICK.S3M", 115, "<flicker>", "s3m"},
    {"PAWALMPL.S3M", 399, "Papa Was A Lamp Lighter", "s3m"},
    {"I-P-K.S3M", 252, "Ikkunanpesukone", "s3m"},
    {"X_HEAVY.IT", 137, "Heavy Water Crossing", "it"},
}};

}  // namespace musictest
