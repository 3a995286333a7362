#include "Tune.h"

#include "player/TrackList.h"

#include <algorithm>

namespace composer {

const std::vector<TuneSpec>& catalogue() {
    static const std::vector<TuneSpec> tunes = [] {
        std::vector<TuneSpec> out;
        for (const player::Track& t : player::kTrackList)
            out.push_back({std::string(t.file), std::string(t.moduleTitle), t.length});
        return out;
    }();
    return tunes;
}

const TuneSpec* findTune(const std::string& file) {
    const auto& tunes = catalogue();
    const auto it = std::find_if(tunes.begin(), tunes.end(), [&](const TuneSpec& t) { return t.file == file; });
    return it == tunes.end() ? nullptr : &*it;
}

} // namespace composer
