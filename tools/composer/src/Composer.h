// Turns the tunes of the catalogue into complete songs from their scores, and writes them as
// modules.
#pragma once

#include "Tune.h"

#include "modwriter/ModWriter.h"

#include <filesystem>
#include <string>
#include <vector>

namespace composer {

modwriter::Format formatOf(const TuneSpec& tuneSpec);

// The score of a tune: its module file's name with ".score" for the extension.
std::filesystem::path scorePath(const std::filesystem::path& scoresDir, const std::string& file);

// The tune's song, from its score in scoresDir. A missing score, a score with a mistake, or one
// whose file, title or length is not the catalogue's throws score::Error ("FILE:LINE: message").
modwriter::Song composeTrack(const TuneSpec& tuneSpec, const std::filesystem::path& scoresDir);

// Writes every tune of the catalogue into dir. A tune whose score has a mistake gets no module
// and its message in `errors`. Returns the number written.
int writeCatalogue(const std::filesystem::path& dir, const std::filesystem::path& scoresDir,
    std::vector<std::string>& errors);

} // namespace composer
