// Turns the tunes of the catalogue into complete songs: from each tune's score where it has
// one, and writes them as modules.
#pragma once

#include "Tune.h"

#include "modwriter/ModWriter.h"

#include <filesystem>
#include <string>
#include <vector>

namespace composer {

modwriter::Song composeTune(const TuneSpec& tuneSpec);
modwriter::Format formatOf(const TuneSpec& tuneSpec);

// The score of a tune: its module file's name with ".score" for the extension.
std::filesystem::path scorePath(const std::filesystem::path& scoresDir, const std::string& file);

// The tune's song, from its score in scoresDir if it has one. A score with a mistake throws
// score::Error saying "FILE:LINE: message"; so does one whose file, title or length is not
// the catalogue's.
modwriter::Song composeTrack(const TuneSpec& tuneSpec, const std::filesystem::path& scoresDir);

// Writes every tune of the catalogue into dir. A tune whose score has a mistake gets no module
// and its message in `errors`. Returns the number written.
int writeCatalogue(const std::filesystem::path& dir, const std::filesystem::path& scoresDir, std::vector<std::string>& errors);

}  // namespace composer
