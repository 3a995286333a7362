// The catalogue of the disk's own tunes: per track its module file, title and length. The music
// of each is its score.
#pragma once

#include <vector>

namespace composer {

struct TuneSpec {
    const char* file;
    const char* title;
    int seconds;
};

const std::vector<TuneSpec>& catalogue();

}  // namespace composer
