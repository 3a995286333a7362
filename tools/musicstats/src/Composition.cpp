#include "Composition.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

namespace musicstats {

namespace {

// libopenmpt's note values: 1 is C-0, 120 is B-9; above them the note-off kinds.
constexpr int kLowestNote = 1;
constexpr int kHighestNote = 120;
constexpr int kFirstNoteOff = 253; // fade, cut, off

constexpr double kKeepPrevious = 0.05;    // a new chord must fit this much better to count as a change
constexpr double kPitchClassShare = 0.12; // a pitch class counts when it has this share of the beat
constexpr int kGrooveHits = 4;

struct Template {
    const char* name;
    std::vector<int> tones;
};

const std::vector<Template>& templates() {
    static const std::vector<Template> list = {
        {"", {0, 4, 7}},
        {"m", {0, 3, 7}},
        {"dim", {0, 3, 6}},
        {"aug", {0, 4, 8}},
        {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},
        {"m7b5", {0, 3, 6, 10}},
    };
    return list;
}

double fit(const std::array<double, 12>& profile, double norm, const Chord& chord) {
    const Template& t = templates()[static_cast<std::size_t>(chord.quality)];
    double dot = 0;
    for (int tone : t.tones) dot += profile[static_cast<std::size_t>((chord.root + tone) % 12)];
    return dot / (norm * std::sqrt(static_cast<double>(t.tones.size())));
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Sample and instrument names people give drums, as whole words or parts of words.
bool drumName(const std::string& name) {
    static const std::vector<std::string> parts = {"kick", "snare", "hihat", "cymbal", "crash", "clap", "perc", "drum",
        "conga", "bongo", "shaker", "tambourine", "cowbell", "rimshot"};
    static const std::vector<std::string> words = {"bd", "sd", "hh", "hat", "hats", "ch", "oh", "ride", "tom", "toms",
        "rim"};
    const std::string n = lower(name);
    for (const std::string& p : parts) {
        if (n.find(p) != std::string::npos) return true;
    }
    std::string word;
    for (std::size_t i = 0; i <= n.size(); ++i) {
        if (i < n.size() && std::isalpha(static_cast<unsigned char>(n[i]))) {
            word += n[i];
            continue;
        }
        if (std::find(words.begin(), words.end(), word) != words.end()) return true;
        word.clear();
    }
    return false;
}

struct Event {
    std::size_t time; // index of the played row
    int channel;
    int instrument; // the channel's current instrument (or sample)
    int note;       // 0-based pitch; -1 ends the channel's note
};

// Share of each tune's items that at least one other tune also has.
void shareAcross(std::vector<CompositionStats*>& tunes, std::set<Key> CompositionStats::*items,
    double CompositionStats::*share) {
    std::map<Key, int> holders;
    for (const CompositionStats* t : tunes) {
        for (const Key& k : t->*items) ++holders[k];
    }
    for (CompositionStats* t : tunes) {
        const auto& mine = t->*items;
        if (mine.empty()) {
            t->*share = CompositionStats::kNone;
            continue;
        }
        std::size_t shared = 0;
        for (const Key& k : mine) shared += holders[k] > 1;
        t->*share = static_cast<double>(shared) / static_cast<double>(mine.size());
    }
}

} // namespace

ChordMatch matchChord(const std::array<double, 12>& profile, const ChordMatch& previous) {
    double total = 0, sq = 0;
    for (double w : profile) {
        total += w;
        sq += w * w;
    }
    if (total <= 0) return {};
    int classes = 0;
    for (double w : profile) classes += w >= kPitchClassShare * total;
    if (classes < 2) return {};
    const double norm = std::sqrt(sq);
    ChordMatch best;
    double bestFit = -1;
    for (int q = 0; q < static_cast<int>(templates().size()); ++q) {
        for (int root = 0; root < 12; ++root) {
            const Chord c{root, q};
            const double f = fit(profile, norm, c);
            if (f > bestFit + 1e-9) {
                bestFit = f;
                best = {true, c};
            }
        }
    }
    if (previous.found && fit(profile, norm, previous.chord) >= bestFit - kKeepPrevious) return previous;
    return best;
}

std::pair<int, int> rowsPerBeatAndBar(const std::vector<std::uint8_t>& file, double rowsPerSecond) {
    int beat = kDefaultRowsPerBeat, bar = kDefaultRowsPerBar;
    if (file.size() >= 0x20 && std::memcmp(file.data(), "IMPM", 4) == 0) {
        const int b = file[0x1E], m = file[0x1F];
        if (b > 0 && m >= b && m <= 256) {
            beat = b;
            bar = m;
        }
    }
    // Trackers keep their default highlights on tunes written in double time (three ticks a
    // row and eight rows a beat); the rows' pace tells those apart.
    while (beat < 16 && bar <= 128 && 60 * rowsPerSecond / beat > kFastestBeat) {
        beat *= 2;
        bar *= 2;
    }
    return {beat, bar};
}

CompositionStats measureComposition(openmpt::module& module, const std::vector<PlayedRow>& rows, int rowsPerBeat,
    int rowsPerBar) {
    CompositionStats s;
    s.rowsPerBeat = std::max(1, rowsPerBeat);
    s.rowsPerBar = std::max(s.rowsPerBeat, rowsPerBar);
    const int channels = module.get_num_channels();
    s.noteOns.assign(static_cast<std::size_t>(channels), 0);
    s.drumChannel.assign(static_cast<std::size_t>(channels), false);
    if (rows.empty() || channels <= 0) return s;
    const std::vector<std::string> names =
        module.get_num_instruments() > 0 ? module.get_instrument_names() : module.get_sample_names();

    // Beats and bars follow the rows of each pattern as the tracker shows them; a jump starts both anew.
    std::vector<std::size_t> beatOf(rows.size()), barOf(rows.size());
    std::vector<int> posInBar(rows.size());
    std::size_t beat = 0, bar = 0;
    std::vector<Event> events;
    std::vector<int> instrument(static_cast<std::size_t>(channels), 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PlayedRow& r = rows[i];
        const bool jump = i == 0 || r.order != rows[i - 1].order || r.row != rows[i - 1].row + 1;
        if (i > 0 && (jump || r.row % s.rowsPerBeat == 0)) ++beat;
        if (i > 0 && (jump || r.row % s.rowsPerBar == 0)) ++bar;
        beatOf[i] = beat;
        barOf[i] = bar;
        posInBar[i] = r.row % s.rowsPerBar;
        for (int c = 0; c < channels; ++c) {
            const int note = module.get_pattern_row_channel_command(r.pattern, r.row, c, openmpt::module::command_note);
            const int ins =
                module.get_pattern_row_channel_command(r.pattern, r.row, c, openmpt::module::command_instrument);
            if (ins > 0) instrument[static_cast<std::size_t>(c)] = ins;
            if (note >= kLowestNote && note <= kHighestNote) {
                events.push_back({i, c, instrument[static_cast<std::size_t>(c)], note - kLowestNote});
                ++s.noteOns[static_cast<std::size_t>(c)];
            } else if (note >= kFirstNoteOff) {
                events.push_back({i, c, instrument[static_cast<std::size_t>(c)], -1});
            }
        }
    }

    // Drum voices: a sound that plays one or two fixed notes, or that its name calls a drum.
    std::map<std::pair<int, int>, std::set<int>> voiceNotes;
    for (const Event& e : events) {
        if (e.note >= 0) voiceNotes[{e.channel, e.instrument}].insert(e.note);
    }
    std::map<std::pair<int, int>, bool> drumVoice;
    for (const auto& [voice, notes] : voiceNotes) {
        const int ins = voice.second;
        const bool named = ins > 0 && static_cast<std::size_t>(ins) <= names.size() &&
                           drumName(names[static_cast<std::size_t>(ins - 1)]);
        drumVoice[voice] = notes.size() <= 2 || named;
    }
    std::vector<int> drumNotes(static_cast<std::size_t>(channels), 0);
    for (const Event& e : events) {
        if (e.note >= 0 && drumVoice[{e.channel, e.instrument}]) ++drumNotes[static_cast<std::size_t>(e.channel)];
    }
    for (std::size_t c = 0; c < s.drumChannel.size(); ++c)
        s.drumChannel[c] = s.noteOns[c] > 0 && 2 * drumNotes[c] >= s.noteOns[c];

    // Melodic lines, drum bars and the harmony of each beat, in one walk over the played rows.
    struct Sounding {
        int note = -1;
        std::size_t since = 0;
    };
    std::vector<Sounding> sounding(static_cast<std::size_t>(channels));
    std::vector<std::vector<std::pair<std::size_t, int>>> lines(static_cast<std::size_t>(channels));
    std::map<std::pair<int, int>, std::uint64_t> barHits;
    std::array<double, 12> profile{};
    ChordMatch current;
    std::vector<Chord> progression;
    std::set<std::pair<int, int>> chordsUsed;
    std::set<std::size_t> harmonicBars;
    int changes = 0;

    // A lone crash, a kick on the one or a pair of hits is how any two tunes may mark a bar; a
    // groove has at least four hits in at least two places.
    const auto closeBar = [&] {
        if (barHits.empty()) return;
        std::vector<std::uint64_t> masks;
        std::uint64_t places = 0;
        int hits = 0;
        for (const auto& [voice, mask] : barHits) {
            masks.push_back(mask);
            places |= mask;
            hits += std::popcount(mask);
        }
        if (hits < kGrooveHits || std::popcount(places) < 2) {
            barHits.clear();
            return;
        }
        std::sort(masks.begin(), masks.end());
        Key key{s.rowsPerBar};
        for (std::uint64_t m : masks) {
            key.push_back(static_cast<int>(m & 0xFFFFFFFFu));
            key.push_back(static_cast<int>(m >> 32));
        }
        s.drumBars.insert(key);
        barHits.clear();
    };
    const auto closeBeat = [&](std::size_t beatBar) {
        const ChordMatch m = matchChord(profile, current);
        profile.fill(0);
        if (!m.found) return;
        harmonicBars.insert(beatBar);
        if (current.found && !(m.chord == current.chord)) ++changes;
        if (progression.empty() || !(progression.back() == m.chord)) progression.push_back(m.chord);
        chordsUsed.insert({m.chord.root, m.chord.quality});
        current = m;
    };

    std::size_t next = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0 && beatOf[i] != beatOf[i - 1]) closeBeat(barOf[i - 1]);
        if (i > 0 && barOf[i] != barOf[i - 1]) closeBar();
        for (; next < events.size() && events[next].time == i; ++next) {
            const Event& e = events[next];
            Sounding& now = sounding[static_cast<std::size_t>(e.channel)];
            if (e.note < 0) {
                now.note = -1;
                continue;
            }
            if (drumVoice[{e.channel, e.instrument}]) {
                now.note = -1;
                if (posInBar[i] < 64) barHits[{e.instrument, e.note}] |= std::uint64_t{1} << posInBar[i];
                continue;
            }
            now = {e.note, i};
            lines[static_cast<std::size_t>(e.channel)].push_back({i, e.note});
        }
        int lowest = -1;
        for (const Sounding& n : sounding) {
            // A note still sounding a bar after it was struck has most likely died away in its sample.
            if (n.note < 0 || i - n.since >= static_cast<std::size_t>(s.rowsPerBar)) continue;
            profile[static_cast<std::size_t>(n.note % 12)] += 1;
            if (lowest < 0 || n.note < lowest) lowest = n.note;
        }
        // The bass names the chord more than an inner voice does.
        if (lowest >= 0) profile[static_cast<std::size_t>(lowest % 12)] += 1;
    }
    closeBeat(barOf.back());
    closeBar();

    s.chordChangesPerBar = harmonicBars.empty()
                               ? CompositionStats::kNone
                               : static_cast<double>(changes) / static_cast<double>(harmonicBars.size());
    s.distinctChords = static_cast<int>(chordsUsed.size());
    for (std::size_t k = 0; k + 4 <= progression.size(); ++k) {
        Key key{progression[k].quality};
        for (std::size_t j = 1; j < 4; ++j) {
            key.push_back((progression[k + j].root - progression[k].root + 12) % 12);
            key.push_back(progression[k + j].quality);
        }
        s.chordRuns.insert(key);
    }

    // A pause longer than a bar ends a phrase: no figure reaches across it. A figure keeps its
    // rhythm (rows from note to note) beside its intervals: by pitch alone, the commonest scale
    // and repeated-note shapes would turn up in almost any two tunes.
    const auto phraseBreak = [&](const std::pair<std::size_t, int>& a, const std::pair<std::size_t, int>& b) {
        return b.first - a.first > static_cast<std::size_t>(s.rowsPerBar);
    };
    std::size_t busiest = 0;
    for (std::size_t c = 0; c < lines.size(); ++c) {
        if (s.drumChannel[c]) continue;
        const auto& line = lines[c];
        if (line.size() > busiest) {
            busiest = line.size();
            s.busiestLine = static_cast<int>(c);
        }
        for (std::size_t k = 0; k + 5 <= line.size(); ++k) {
            Key figure;
            for (std::size_t j = 1; j < 5; ++j) {
                if (phraseBreak(line[k + j - 1], line[k + j])) break;
                figure.push_back(line[k + j].second - line[k + j - 1].second);
                figure.push_back(static_cast<int>(line[k + j].first - line[k + j - 1].first));
            }
            if (figure.size() == 8) s.figures.insert(figure);
        }
    }
    if (s.busiestLine >= 0) {
        const auto& line = lines[static_cast<std::size_t>(s.busiestLine)];
        int repeats = 0, steps = 0, thirds = 0, leaps = 0;
        for (std::size_t k = 1; k < line.size(); ++k) {
            if (phraseBreak(line[k - 1], line[k])) continue;
            const int d = std::abs(line[k].second - line[k - 1].second);
            if (d == 0) ++repeats;
            else if (d <= 2) ++steps;
            else if (d <= 4) ++thirds;
            else ++leaps;
        }
        s.lineIntervals = repeats + steps + thirds + leaps;
        if (s.lineIntervals > 0) {
            const double n = s.lineIntervals;
            s.lineRepeats = repeats / n;
            s.lineSteps = steps / n;
            s.lineThirds = thirds / n;
            s.lineLeaps = leaps / n;
        }
    }
    return s;
}

void compareCompositions(std::vector<CompositionStats*> tunes) {
    shareAcross(tunes, &CompositionStats::figures, &CompositionStats::sharedFigures);
    shareAcross(tunes, &CompositionStats::drumBars, &CompositionStats::sharedDrumBars);
    shareAcross(tunes, &CompositionStats::chordRuns, &CompositionStats::sharedChordRuns);
}

} // namespace musicstats
