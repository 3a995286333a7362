// The disk's fixed catalogue: for each track its module file in mods/, its playing length in
// whole seconds and the title of its tune-list label with the marker beside it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace player {

struct Track {
    std::string_view file;
    std::int16_t length; // whole seconds
    std::string_view title;       // empty for the row no label shows
    std::string_view titleLabel;  // the clickable tune-list label
    std::string_view markerLabel; // the "*" beside the title
};

inline constexpr std::size_t kTrackCount = 18;
// Navigation moves within 0..kLastTrack; the row after it is never selected.
inline constexpr std::int16_t kLastTrack = 16;
inline constexpr std::size_t kTuneCount = 17;

inline constexpr std::array<Track, kTrackCount> kTrackList = {{
    {"HGLASS.IT", 191, "Harbour of Glass", "Intro", "c1"},
    {"MWDRIFT.IT", 230, "Moonwalker Drift", "Tune1", "c2"},
    {"QENGINE.IT", 210, "Quiet Engines", "Tune2", "c3"},
    {"RUST.S3M", 225, "Rust", "Tune3", "c4"},
    {"LOWORBIT.S3M", 271, "Low Orbit", "Tune4", "c5"},
    {"TYL.S3M", 215, "Tie your laces tight", "Tune5", "c6"},
    {"TLO-TIDE.S3M", 198, "The Long Tide", "Tune6", "c7"},
    {"--UNDER-.IT", 226, "Undertow", "Tune7", "c8"},
    {"1_SATRN.IT", 196, "Poker Under Saturn", "Tune8", "c9"},
    {"FSHORE.IT", 249, "Arrival: Far Shore", "Tune9", "c10"},
    {"EVDEIM.IT", 216, "The Evenings of Deimos", "Tune10", "c11"},
    {"GLIDING.IT", 409, "/Gliding Past Noon/", "Tune11", "c12"},
    {"IRONCOUR.IT", 237, "Iron Age Courier", "Tune12", "c13"},
    {"TSOMS.IT", 218, "TheSongsOfMySleep", "Tune13", "c14"},
    {"FLICK.S3M", 115, "<flicker>", "Tune14", "c15"},
    {"PAWALMPL.S3M", 399, "Papa Was A Lamp Lighter", "Tune15", "c16"},
    {"I-P-K.S3M", 252, "Ikkunanpesukone", "Tune16", "c17"},
    {"X_HEAVY.IT", 137, "", "", ""},
}};

// The tune titles of the list, in list order (tracks 0..16).
inline constexpr std::array<std::string_view, kTuneCount> kTuneTitles = [] {
    std::array<std::string_view, kTuneCount> titles{};
    for (std::size_t i = 0; i < kTuneCount; ++i) titles[i] = kTrackList[i].title;
    return titles;
}();

} // namespace player
