#include "Composer.h"

#include "Arranger.h"

namespace composer {

modwriter::Format formatOf(const TuneSpec& tuneSpec) { return modwriter::formatForPath(tuneSpec.file); }

modwriter::Song composeTune(const TuneSpec& tuneSpec) { return Arranger(tuneSpec).build(); }

int writeCatalogue(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    int written = 0;
    for (const TuneSpec& t : catalogue()) {
        modwriter::saveSong(composeTune(t), formatOf(t), dir / t.file);
        ++written;
    }
    return written;
}

}  // namespace composer