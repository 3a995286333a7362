// Drums: the groove of each style written into a section's rows.
#pragma once

#include "Arrangement.h"
#include "Rng.h"
#include "Tune.h"

namespace composer {

enum class DrumLevel { None, Hats, Light, Full };

void writeDrums(Grid& g, const TuneSpec& t, DrumLevel level, bool fill, bool crashAtStart, Rng& rng);

}  // namespace composer
