// Drums: the groove of each style written into a section's rows, varied bar by bar in
// four-bar phrases with ghost notes, rolls and fills.
#pragma once

#include "Arrangement.h"
#include "Rng.h"
#include "Style.h"
#include "Tune.h"

namespace composer {

enum class DrumLevel { None, Hats, Light, Full };

void writeDrums(Grid& g, const TuneSpec& t, const Style& style, DrumLevel level, bool fill, bool crashAtStart, Rng& rng);

}  // namespace composer
