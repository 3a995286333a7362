// The thirty-five messages of the message line and which of them fade out in accent colours.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace effects {

using MessageTable = std::array<std::string, 35>;

// The texts Infos writes into the table, entry 0 to 34.
const MessageTable& messageTexts();

// Messages whose fade-out runs along AccentRamp instead of the grey ramp.
inline constexpr std::array<std::int16_t, 5> kAccentMessages = {6, 14, 29, 32, 34};

bool isAccentMessage(std::int16_t index);

// The entry at index, or nullptr when index lies outside 0..34.
const std::string* messageAt(const MessageTable& table, std::int16_t index);

} // namespace effects
