#include "Validate.h"

#include <string>

namespace modwriter::detail {

namespace {

void require(bool ok, const std::string& message) {
    if (!ok) throw WriteError(message);
}

} // namespace

void validateCommon(const Song& song, int maxChannels, int maxRows, int maxSamples) {
    const int channels = static_cast<int>(song.channels.size());
    require(channels >= 1 && channels <= maxChannels,
        "song has " + std::to_string(channels) + " channels; this format takes 1 to " + std::to_string(maxChannels));
    require(!song.patterns.empty() && song.patterns.size() <= 200, "song needs 1 to 200 patterns");
    require(!song.orders.empty() && song.orders.size() <= 254, "song needs 1 to 254 orders");
    require(static_cast<int>(song.samples.size()) <= maxSamples, "too many samples");
    require(song.speed >= 1 && song.speed <= 255, "speed must be 1..255");
    require(song.tempo >= 32 && song.tempo <= 255, "tempo must be 32..255");
    require(song.globalVolume >= 0 && song.globalVolume <= 128, "global volume must be 0..128");
    require(song.mixVolume >= 0 && song.mixVolume <= 128, "mix volume must be 0..128");
    for (const Channel& c : song.channels) {
        require(c.pan >= 0 && c.pan <= 64, "channel pan must be 0..64");
        require(c.volume >= 0 && c.volume <= 64, "channel volume must be 0..64");
    }
    for (int o : song.orders) {
        require(o >= 0 && o < static_cast<int>(song.patterns.size()), "order refers to a missing pattern");
    }
    const int instrumentSlots =
        static_cast<int>(song.instruments.empty() ? song.samples.size() : song.instruments.size());
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        const Pattern& pat = song.patterns[p];
        const std::string where = "pattern " + std::to_string(p);
        require(pat.channels() == channels, where + " has the wrong channel count");
        require(pat.rows() >= 1 && pat.rows() <= maxRows, where + " has an unsupported row count");
        for (int r = 0; r < pat.rows(); ++r) {
            for (int c = 0; c < channels; ++c) {
                const Cell& cell = pat.at(r, c);
                require(cell.note >= kNoteCut && cell.note <= kMaxNote, where + ": note out of range");
                require(cell.instrument >= 0 && cell.instrument <= instrumentSlots, where + ": unknown instrument");
                require(cell.volume >= -1 && cell.volume <= 64, where + ": volume out of range");
                require(cell.effect == 0 || (cell.effect >= 'A' && cell.effect <= 'Z'), where + ": unknown effect");
            }
        }
    }
    for (const Sample& s : song.samples) {
        require(s.data.size() <= 0xFFFFFF, "sample " + s.name + " is too long");
        require(s.volume >= 0 && s.volume <= 64, "sample volume must be 0..64");
        if (s.loop) {
            require(s.loopStart < s.loopEnd && s.loopEnd <= s.data.size(), "sample " + s.name + " has a bad loop");
        }
    }
}

} // namespace modwriter::detail
