// The colour ramps of the three text pulses (title, message line, NFO Close label).
#pragma once

#include <array>
#include <cstdint>

#include "forms/Units.h"

namespace effects {

// White through four greys to black and back, one entry per step 0..10.
inline constexpr std::array<forms::Colour, 11> PulseRamp = {0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x404040, 0x000000,
    0x404040, 0x808080, 0xC0C0C0, 0xE0E0E0, 0xFFFFFF};

// Replaces steps 0..4 while certain messages fade out.
inline constexpr std::array<forms::Colour, 5> AccentRamp = {0xB1C9C2, 0xA9AA7D, 0x51518E, 0x633A76, 0x274D24};

inline bool isRampStep(std::int16_t step) { return step >= 0 && step <= 10; }

// The counter rule shared by every pulse timer: after step 10 comes step 0.
inline std::int16_t nextRampStep(std::int16_t step) {
    return step >= 10 ? std::int16_t{0} : static_cast<std::int16_t>(step + 1);
}

} // namespace effects
