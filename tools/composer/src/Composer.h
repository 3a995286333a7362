// Turns a tune of the catalogue into a complete song: synthesised samples,
// arrangement into returning sections, and an ending that stops the song.
#pragma once

#include "Tune.h"

#include "modwriter/ModWriter.h"

#include <filesystem>

namespace composer {

modwriter::Song composeTune(const TuneSpec& tuneSpec);
modwriter::Format formatOf(const TuneSpec& tuneSpec);

// Writes every tune of the catalogue into dir; returns the number written.
int writeCatalogue(const std::filesystem::path& dir);

}  // namespace composer
