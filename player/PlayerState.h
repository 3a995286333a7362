// What the player knows of the current track: which one, its file and length, the seconds
// counted and whether it plays.
#pragma once

#include <cstdint>
#include <string>

namespace player {

// Booleans are kept as 16-bit values the way the window's code reads them.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

struct PlayerState {
    std::int16_t trackIndex = 0;
    std::string trackFile;
    std::int16_t trackLength = 0;
    std::int16_t elapsedSeconds = 0;
    std::int16_t isPlaying = kFalse;
};

} // namespace player
