// How a module is written, read from the rows it actually played.
#pragma once

#include "Rendering.h"

#include <string>

namespace musicstats {

struct PatternStats {
    double effectRowShare = 0; // played rows where any channel has an effect command (volume column aside)
    std::string effectLetters; // distinct effect commands in the format's own notation, sorted
    double patternReplays = 0; // 1 - distinct patterns / order-list entries played
};

PatternStats measurePatterns(openmpt::module& module, const std::vector<PlayedRow>& rows);

} // namespace musicstats
