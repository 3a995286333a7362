// Checks that apply to both formats before any byte is written.
#pragma once

#include "modwriter/ModWriter.h"

namespace modwriter::detail {

void validateCommon(const Song& song, int maxChannels, int maxRows, int maxSamples);

} // namespace modwriter::detail
