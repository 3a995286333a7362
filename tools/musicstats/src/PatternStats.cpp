#include "PatternStats.h"

#include <algorithm>
#include <map>
#include <set>

namespace musicstats {

PatternStats measurePatterns(openmpt::module& module, const std::vector<PlayedRow>& rows) {
    PatternStats s;
    if (rows.empty()) return s;
    const int channels = module.get_num_channels();
    std::set<std::string> letters;
    std::map<std::pair<int, int>, bool> rowHasEffect;
    std::set<int> patterns;
    int entries = 0;
    int lastOrder = -1;
    std::size_t withEffect = 0;
    for (const PlayedRow& r : rows) {
        if (r.order != lastOrder) {
            ++entries;
            patterns.insert(r.pattern);
            lastOrder = r.order;
        }
        const auto key = std::make_pair(r.pattern, r.row);
        auto found = rowHasEffect.find(key);
        if (found == rowHasEffect.end()) {
            bool any = false;
            for (int c = 0; c < channels; ++c) {
                if (module.get_pattern_row_channel_command(r.pattern, r.row, c, openmpt::module::command_effect) == 0)
                    continue;
                // Commands the format has no letter for are placeholders the player ignores.
                const std::string letter =
                    module.format_pattern_row_channel_command(r.pattern, r.row, c, openmpt::module::command_effect);
                if (letter.find_first_not_of(' ') == std::string::npos) continue;
                any = true;
                letters.insert(letter);
            }
            found = rowHasEffect.emplace(key, any).first;
        }
        if (found->second) ++withEffect;
    }
    s.effectRowShare = static_cast<double>(withEffect) / static_cast<double>(rows.size());
    for (const std::string& l : letters) s.effectLetters += l;
    s.patternReplays = 1.0 - static_cast<double>(patterns.size()) / entries;
    return s;
}

} // namespace musicstats
