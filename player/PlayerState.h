// The main window's variables: pulse counters, messages, the current track and the drag.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace player {

// Booleans are kept as 16-bit values the way the window's code reads them.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

using MessageTable = std::array<std::string, 35>;

struct PlayerState {
    std::int16_t tickerStep = 0;
    std::int16_t titleStep = 0;
    MessageTable messages{};
    std::int16_t messageIndex = 0;
    std::int16_t trackIndex = 0;
    std::string trackFile;
    std::int16_t trackLength = 0;
    std::int16_t elapsedSeconds = 0;
    std::int16_t isPlaying = kFalse;
    std::int16_t dragging = kFalse;
    float dragStartX = 0;
    float dragStartY = 0;
};

} // namespace player
