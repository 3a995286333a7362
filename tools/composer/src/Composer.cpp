#include "Composer.h"

#include "Realise.h"
#include "Score.h"

namespace composer {

modwriter::Format formatOf(const TuneSpec& tuneSpec) { return modwriter::formatForPath(tuneSpec.file); }

std::filesystem::path scorePath(const std::filesystem::path& scoresDir, const std::string& file) {
    return scoresDir / std::filesystem::path(file).replace_extension(".score");
}

modwriter::Song composeTrack(const TuneSpec& t, const std::filesystem::path& scoresDir) {
    const auto path = scorePath(scoresDir, t.file);
    if (!std::filesystem::exists(path)) throw score::Error(path.string() + ":1: no score for " + t.file);
    const score::Score s = score::load(path);
    const auto mismatch = [&](int line, const std::string& what) {
        throw score::Error(path.string() + ":" + std::to_string(line) + ": " + what);
    };
    if (s.file != t.file) mismatch(s.fileLine, "the file is " + s.file + "; this score is " + t.file + "'s");
    // The title and length were checked against the tune list as the score was read.
    return score::realise(s);
}

int writeCatalogue(const std::filesystem::path& dir, const std::filesystem::path& scoresDir,
    std::vector<std::string>& errors) {
    std::filesystem::create_directories(dir);
    int written = 0;
    for (const TuneSpec& t : catalogue()) {
        try {
            modwriter::saveSong(composeTrack(t, scoresDir), formatOf(t), dir / t.file);
            ++written;
        } catch (const score::Error& e) {
            // No module rather than a stale one.
            std::filesystem::remove(dir / t.file);
            errors.push_back(e.what());
        }
    }
    return written;
}

} // namespace composer
