// The instruments of a tune: which synthesised samples it plays and, in IT songs,
// how each instrument releases and overlaps.
#pragma once

#include "Tune.h"

#include "modwriter/Song.h"

#include <vector>

namespace composer {

std::vector<modwriter::Sample> makeSamples(const TuneSpec& t);
std::vector<modwriter::Instrument> makeInstruments(const std::vector<modwriter::Sample>& samples, const TuneSpec& t);

}  // namespace composer
