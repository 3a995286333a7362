// How a reader reads the NFO text: the logo as one picture with a short name, then the words of
// each framed box in turn, without the frames and the art around them.
#pragma once

#include <string>
#include <vector>

#include "forms/Accessibility.h"

namespace nfo {

inline constexpr const char* kLogoName = "Drelkin logo";

std::vector<forms::LabelPart> readingOf(const std::string& nfoText);

} // namespace nfo
