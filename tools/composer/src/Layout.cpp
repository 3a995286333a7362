#include "Arranger.h"

namespace composer {

int Arranger::addPattern(modwriter::Song& song, const Grid& g, int start, int rows, bool padTo64) {
    const int height = padTo64 ? kPatternRows : rows;
    modwriter::Pattern p(height, kChannels);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < kChannels; ++c) p.at(r, c) = g.at(start + r, c);
    }
    if (padTo64 && rows < kPatternRows) {
        Cell& last = p.at(rows - 1, kSnare);
        last.effect = 'C';  // the song ends on this row
        last.param = 0;
    }
    song.patterns.push_back(std::move(p));
    return static_cast<int>(song.patterns.size()) - 1;
}

void Arranger::layOutChannels(modwriter::Song& song) const {
    const int pans[kChannels] = {32, 30, 42, 22, 32, 14, 32, 50, 18, 34, 48, 44};
    for (int c = 0; c < kChannels; ++c) song.channels.push_back({pans[c], 64});
}

}  // namespace composer
