// The catalogue of the disk's own tunes: per track its module file, title and length, as the tune
// list gives them. The music of each is its score.
#pragma once

#include <string>
#include <vector>

namespace composer {

struct TuneSpec {
    std::string file;
    std::string title;
    int seconds;
};

const std::vector<TuneSpec>& catalogue();

// The tune of the list whose module is `file`, or null for a file the list does not hold.
const TuneSpec* findTune(const std::string& file);

} // namespace composer
