// The two format back ends behind writeSong.
#pragma once

#include "modwriter/ModWriter.h"

namespace modwriter::detail {

std::vector<std::uint8_t> writeS3m(const Song& song);
std::vector<std::uint8_t> writeIt(const Song& song);

} // namespace modwriter::detail
