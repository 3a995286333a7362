// Small helpers around the module library: readable error texts and the version as text.
#pragma once

#include <cstdint>
#include <string>

#include "player/ModuleLibrary.h"

namespace player {

// The readable text for a library error code; empty for codes without one.
std::string ErrorText(std::int32_t code);
// The library's version as "major.minor"; asks the library twice.
std::string VersionText(ModuleLibrary& library);
std::int32_t LowWord(std::int32_t value);
std::int32_t HighWord(std::int32_t value);

} // namespace player
