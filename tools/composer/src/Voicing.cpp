#include "Voicing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace composer::score {

namespace {

int mod12(int a) { return ((a % 12) + 12) % 12; }

int pitchClass(const std::string& s, std::size_t& i, std::string& why) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};
    if (i >= s.size() || s[i] < 'A' || s[i] > 'G') {
        why = "'" + s + "' is not a chord (a root A..G, then its kind, like F#m7 or Bb/D)";
        return -1;
    }
    int pc = base[s[i++] - 'A'];
    if (i < s.size() && s[i] == '#') pc += 1, ++i;
    else if (i < s.size() && s[i] == 'b') pc -= 1, ++i;
    return mod12(pc);
}

// Which chord notes a thinner voicing keeps first: the third (or what stands for it), the
// seventh or sixth, the ninth, the root, the eleventh, the fifth.
int rank(int interval) {
    switch (interval) {
    case 3:
    case 4:
    case 2:
    case 5:
    case 6:
    case 8: return 0;
    case 9:
    case 10:
    case 11: return 1;
    case 13:
    case 14: return 2;
    case 0: return 3;
    case 17: return 4;
    default: return 5;
    }
}

} // namespace

std::optional<Chord> parseChord(const std::string& symbol, std::string& why) {
    static const std::map<std::string, std::vector<int>> kinds = {
        {"", {0, 4, 7}},
        {"m", {0, 3, 7}},
        {"5", {0, 7}},
        {"6", {0, 4, 7, 9}},
        {"m6", {0, 3, 7, 9}},
        {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},
        {"mmaj7", {0, 3, 7, 11}},
        {"m7b5", {0, 3, 6, 10}},
        {"dim", {0, 3, 6}},
        {"dim7", {0, 3, 6, 9}},
        {"aug", {0, 4, 8}},
        {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},
        {"7sus4", {0, 5, 7, 10}},
        {"9", {0, 4, 7, 10, 14}},
        {"m9", {0, 3, 7, 10, 14}},
        {"maj9", {0, 4, 7, 11, 14}},
        {"add9", {0, 4, 7, 14}},
        {"7b9", {0, 4, 7, 10, 13}},
        {"11", {0, 7, 10, 14, 17}},
        {"m11", {0, 3, 7, 10, 14, 17}},
    };
    std::size_t i = 0;
    Chord c;
    c.root = pitchClass(symbol, i, why);
    if (c.root < 0) return std::nullopt;
    const auto slash = symbol.find('/', i);
    const std::string kind = symbol.substr(i, slash == std::string::npos ? std::string::npos : slash - i);
    const auto found = kinds.find(kind);
    if (found == kinds.end()) {
        why = "chord '" + symbol + "': no chord kind '" + kind + "'";
        return std::nullopt;
    }
    c.intervals = found->second;
    if (slash != std::string::npos) {
        std::size_t j = slash + 1;
        c.bass = pitchClass(symbol, j, why);
        if (c.bass < 0 || j != symbol.size()) {
            why = "chord '" + symbol + "': the bass after '/' is a note name like C#";
            return std::nullopt;
        }
    }
    return c;
}

std::vector<int> voiceChord(const Chord& chord, int notes, const std::vector<int>& previous, int around) {
    std::vector<int> kept = chord.intervals;
    const int count = notes > 0 ? notes : std::min<int>(4, static_cast<int>(kept.size()));
    std::stable_sort(kept.begin(), kept.end(), [](int a, int b) { return rank(a) < rank(b); });
    std::vector<int> pcs;
    for (int k = 0; k < count; ++k) {
        // More notes than the chord has: its notes again, in the same order.
        pcs.push_back(mod12(chord.root + kept[static_cast<std::size_t>(k) % kept.size()]));
    }
    std::sort(pcs.begin(), pcs.end());
    std::vector<int> best;
    double bestCost = 1e18;
    const auto n = pcs.size();
    for (std::size_t rot = 0; rot < n; ++rot) {
        for (int bottom = around - 18; bottom <= around + 18; ++bottom) {
            if (mod12(bottom) != pcs[rot]) continue;
            std::vector<int> v = {bottom};
            for (std::size_t k = 1; k < n; ++k) {
                const int want = pcs[(rot + k) % n];
                int next = v.back() + 1;
                while (mod12(next) != want) ++next;
                v.push_back(next);
            }
            if (v.front() < 0 || v.back() > 119) continue;
            double mean = 0;
            for (int x : v) mean += x;
            mean /= static_cast<double>(n);
            double cost = std::abs(mean - around);
            if (previous.size() == n) {
                cost *= 0.1;
                for (std::size_t k = 0; k < n; ++k) cost += std::abs(v[k] - previous[k]);
            }
            if (cost < bestCost - 1e-9) {
                bestCost = cost;
                best = v;
            }
        }
    }
    return best;
}

std::vector<CompEvent> realiseComp(const Progression& p, const CompStyle& style, int barRows, int& channels,
    std::string& why) {
    std::vector<CompEvent> out;
    std::vector<int> previous;
    std::vector<std::vector<int>> voicings;
    for (const Segment& seg : p.segments) {
        if (seg.chord) previous = voiceChord(*seg.chord, style.notes, previous, style.around);
        voicings.push_back(seg.chord ? previous : std::vector<int>{});
    }
    const int off = -2; // the tracker's note-off
    channels = 1;
    for (const auto& v : voicings) channels = std::max(channels, static_cast<int>(v.size()));
    auto chordAt = [&](int row, const std::vector<int>& v, int volume) {
        if (v.empty()) {
            for (int c = 0; c < channels; ++c) out.push_back({row, c, off, -1});
            return;
        }
        for (std::size_t c = 0; c < v.size(); ++c) out.push_back({row, static_cast<int>(c), v[c], volume});
        // A thinner chord after a fuller one silences the channels it leaves.
        for (int c = static_cast<int>(v.size()); c < channels; ++c) out.push_back({row, c, off, -1});
    };
    for (std::size_t s = 0; s < p.segments.size(); ++s) {
        const Segment& seg = p.segments[s];
        const auto& v = voicings[s];
        if (style.kind == "held") {
            // A note the chord before already holds is tied over, not struck again.
            const auto& before = s > 0 ? voicings[s - 1] : std::vector<int>{};
            if (v.empty() || before.empty()) {
                chordAt(seg.row, v, style.volume);
                continue;
            }
            for (int c = 0; c < channels; ++c) {
                const auto k = static_cast<std::size_t>(c);
                if (k >= v.size()) {
                    if (k < before.size()) out.push_back({seg.row, c, off, -1});
                } else if (k >= before.size() || before[k] != v[k]) {
                    out.push_back({seg.row, c, v[k], style.volume});
                }
            }
        } else if (style.kind == "arp") {
            if (v.empty()) {
                out.push_back({seg.row, 0, off, -1});
                continue;
            }
            for (int t = 0; t < seg.rows; t += style.step) {
                const auto& [index, octave] =
                    style.figure[static_cast<std::size_t>(t / style.step) % style.figure.size()];
                if (index == -2) continue;
                if (index == -1) {
                    out.push_back({seg.row + t, 0, off, -1});
                    continue;
                }
                if (index > static_cast<int>(v.size())) {
                    why = "the arp figure plays note " + std::to_string(index) + " of a chord voiced with " +
                          std::to_string(v.size());
                    return {};
                }
                const int note = v[static_cast<std::size_t>(index - 1)] + 12 * octave;
                if (note < 0 || note > 119) {
                    why = "the arp figure goes out of the tracker's range";
                    return {};
                }
                out.push_back({seg.row + t, 0, note, style.volume});
            }
        } else {
            for (int t = 0; t < seg.rows; ++t) {
                const int row = seg.row + t;
                const char c = style.mask[static_cast<std::size_t>(row % barRows) % style.mask.size()];
                if (c == 'x' || c == 'X') {
                    const int volume =
                        c == 'X' ? std::min(64, (style.volume < 0 ? 56 : style.volume) + 8) : style.volume;
                    chordAt(row, v, volume);
                } else if (c == '=') {
                    for (int ch = 0; ch < channels; ++ch) out.push_back({row, ch, off, -1});
                }
            }
        }
    }
    if (style.kind == "arp") channels = 1;
    return out;
}

} // namespace composer::score
