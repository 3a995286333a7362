// How much of a tune comes back: 2-s windows that have a near-copy elsewhere in the tune.
#pragma once

#include <cstddef>
#include <vector>

namespace musicstats {

// melDb: frame-major levels of `bands` mel bands, paired into bands/2 coarser bands.
// Windows of windowFrames frames tile the tune; a window counts when a window starting
// anywhere that does not overlap it correlates (after removing each band's mean) at
// `threshold` or more. Returns the share of tiled windows that count; windows without
// any variation are left out.
double nearDuplicateShare(const std::vector<float>& melDb, std::size_t bands, std::size_t windowFrames,
    double threshold);

} // namespace musicstats
