#include "Arranger.h"

#include "Composer.h"

#include <algorithm>
#include <cmath>

namespace composer {

namespace {

// Pan of each logical channel (0 left .. 64 right) for each layout.
int panOf(PanLayout layout, int channel) {
    static const int wide[kChannels] = {32, 28, 46, 14, 32, 8, 32, 56, 20, 36, 52, 48, 18, 40, 26, 24, 32};
    static const int narrow[kChannels] = {32, 30, 38, 26, 32, 24, 32, 40, 28, 34, 38, 36, 30, 36, 30, 34, 32};
    static const int mirror[kChannels] = {32, 34, 20, 44, 32, 12, 32, 52, 50, 28, 14, 16, 46, 24, 40, 40, 32};
    static const int centre[kChannels] = {32, 32, 36, 30, 32, 22, 32, 42, 30, 32, 36, 34, 28, 32, 32, 32, 32};
    switch (layout) {
        case PanLayout::Wide: return wide[channel];
        case PanLayout::Narrow: return narrow[channel];
        case PanLayout::Mirror: return mirror[channel];
        case PanLayout::Centre: return centre[channel];
    }
    return 32;
}

}  // namespace

void Arranger::writeTiming(modwriter::Song& song) const {
    // Rows keep the length a speed of 6 would give them at the tune's tempo.
    song.speed = style_.speed;
    song.tempo = std::clamp(static_cast<int>(std::lround(t_.tempo * style_.speed / 6.0)), 32, 255);
}

void Arranger::layOutChannels(modwriter::Song& song) {
    channels_.clear();
    for (int c = 0; c < kChannels; ++c) {
        const bool used = (c != kCounter || style_.counter) && (c != kEcho || style_.echo) && (c != kLead2 || style_.doubleLead) &&
                          (c != kShaker || style_.shaker) && (c != kTom || style_.toms) && (c != kBed || style_.bed.volume > 0);
        if (!used) continue;
        channels_.push_back(c);
        song.channels.push_back({panOf(style_.pan, c), 64});
    }
}

int Arranger::addPattern(modwriter::Song& song, const Grid& g, int start, int rows, bool padTo64) {
    const int height = padTo64 ? kPatternRows : rows;
    const int width = static_cast<int>(channels_.size());
    modwriter::Pattern p(height, width);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) {
            const int channel = channels_[static_cast<std::size_t>(c)];
            Cell cell = g.at(start + r, channel);
            const int group = mixGroup(channel);
            if (cell.volume > 0 && group >= 0) {
                cell.volume = std::clamp((cell.volume * style_.mix[static_cast<std::size_t>(group)] + 50) / 100, 1, 64);
            }
            p.at(r, c) = cell;
        }
    }
    if (padTo64 && rows < kPatternRows) {
        Cell& last = p.at(rows - 1, width - 1);  // the control channel
        last.effect = 'C';  // the song ends on this row
        last.param = 0;
    }
    song.patterns.push_back(std::move(p));
    return static_cast<int>(song.patterns.size()) - 1;
}

}  // namespace composer
