#include "Report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace musicstats {

namespace {

struct Target {
    bool atLeast = true;
    double value = 0;
};

// One figure of the comparison: how to read it off a tune, how the set's figure is
// formed, how it is shown, and the target the disk's tunes must meet.
struct Measure {
    const char* key;     // column name in TSV output
    const char* heading; // short column heading in tables
    const char* label;   // line in the side-by-side summary
    std::function<double(const TuneStats&)> perTune;
    std::function<double(const SetStats&)> setFigure; // empty: median of perTune
    double scale;                                     // shown as value * scale
    int decimals;
    const char* unit;
    std::optional<Target> target;
    int group = 0; // 0: how it sounds; 1: what its notes do (a table of its own)
};

double share(int part, int whole) { return whole > 0 ? static_cast<double>(part) / whole : std::nan(""); }

const std::vector<Measure>& measures() {
    static const std::vector<Measure> list = {
        {"identified", "id", "10-s excerpt's nearest neighbour is its own tune",
            [](const TuneStats& t) { return share(t.identified, t.excerpts); },
            [](const SetStats& s) { return s.identification; }, 100, 0, "%", Target{true, 50}},
        {"spectrum_corr", "corr", "spectrum correlation (third-octave, all pairs)",
            [](const TuneStats& t) { return t.spectrumCorrelation; },
            [](const SetStats& s) { return s.spectrumCorrelation; }, 1, 2, "", Target{false, 0.80}},
        {"tonal_above_2k", "hi%", "tonal energy above 2 kHz", [](const TuneStats& t) { return t.tonalHighShare; }, {},
            100, 1, "%", Target{true, 3}},
        {"band_16k_db", "16k", "16 kHz band, dB below the loudest band", [](const TuneStats& t) { return t.band16kDb; },
            {}, 1, 0, " dB", Target{false, -30}},
        {"percussive", "perc", "percussive share P/(H+P)", [](const TuneStats& t) { return t.percussiveShare; }, {}, 1,
            2, "", Target{true, 0.28}},
        {"centroid_sd_hz", "cent", "spread of the spectral centroid",
            [](const TuneStats& t) { return t.centroidStdHz; }, {}, 1, 0, " Hz", Target{false, 1200}},
        {"onsets_per_s", "ons/s", "onsets per second", [](const TuneStats& t) { return t.onsetsPerSecond; }, {}, 1, 1,
            "", Target{true, 6.5}},
        {"effect_rows", "fx%", "played rows with an effect command",
            [](const TuneStats& t) { return t.patterns.effectRowShare; }, {}, 100, 0, "%", Target{true, 40}},
        {"effect_letters", "fxN", "distinct effect letters",
            [](const TuneStats& t) { return static_cast<double>(t.patterns.effectLetters.size()); }, {}, 1, 1, "",
            Target{true, 5}},
        {"loudness_range", "LRA", "loudness range (3-s windows)", [](const TuneStats& t) { return t.loudnessRange; },
            {}, 1, 1, " LU", Target{true, 4.5}},
        {"near_duplicates", "dup%", "2-s windows with a near-duplicate (r >= 0.9)",
            [](const TuneStats& t) { return t.nearDuplicateShare; }, {}, 100, 0, "%", Target{false, 62}},
        {"pattern_replays", "rep%", "order-list entries replaying a pattern",
            [](const TuneStats& t) { return t.patterns.patternReplays; }, {}, 100, 0, "%", Target{true, 25}},
        {"seconds", "len", "length", [](const TuneStats& t) { return t.seconds; }, {}, 1, 1, " s", {}},
        {"rms_dbfs", "rms", "RMS level", [](const TuneStats& t) { return t.rmsDb; }, {}, 1, 1, " dBFS", {}},
        {"peak_dbfs", "peak", "peak level", [](const TuneStats& t) { return t.peakDb; }, {}, 1, 1, " dBFS", {}},
        {"held_noise", "noise", "held noise channels (most in any one tune)",
            [](const TuneStats& t) { return static_cast<double>(t.heldNoiseChannels()); },
            [](const SetStats& s) {
                double most = s.tunes.empty() ? std::nan("") : 0.0;
                for (const TuneStats& t : s.tunes) most = std::max(most, static_cast<double>(t.heldNoiseChannels()));
                return most;
            },
            1, 0, "", Target{false, 0}, 1},
        {"chord_changes", "chg/b", "chord changes per bar",
            [](const TuneStats& t) { return t.composition.chordChangesPerBar; }, {}, 1, 2, "", Target{true, 1.3}, 1},
        {"chords", "chords", "distinct chords",
            [](const TuneStats& t) { return static_cast<double>(t.composition.distinctChords); }, {}, 1, 1, "", {}, 1},
        {"line_repeats", "same%", "busiest melodic line: repeated notes",
            [](const TuneStats& t) { return t.composition.lineRepeats; }, {}, 100, 0, "%", {}, 1},
        {"line_steps", "step%", "busiest melodic line: steps (1-2 semitones)",
            [](const TuneStats& t) { return t.composition.lineSteps; }, {}, 100, 0, "%", Target{true, 15}, 1},
        {"line_thirds", "3rd%", "busiest melodic line: thirds (3-4 semitones)",
            [](const TuneStats& t) { return t.composition.lineThirds; }, {}, 100, 0, "%", Target{false, 25}, 1},
        {"line_leaps", "leap%", "busiest melodic line: leaps (5 or more semitones)",
            [](const TuneStats& t) { return t.composition.lineLeaps; }, {}, 100, 0, "%", {}, 1},
        {"shared_figures", "fig%", "five-note figures another tune also has",
            [](const TuneStats& t) { return t.composition.sharedFigures; }, {}, 100, 1, "%", Target{false, 5}, 1},
        {"shared_drum_bars", "drum%", "drum bars another tune also has",
            [](const TuneStats& t) { return t.composition.sharedDrumBars; }, {}, 100, 1, "%", Target{false, 5}, 1},
        {"shared_chord_runs", "run%", "four-chord runs another tune also has",
            [](const TuneStats& t) { return t.composition.sharedChordRuns; }, {}, 100, 1, "%", Target{false, 15}, 1},
    };
    return list;
}

double setFigure(const Measure& m, const SetStats& s) {
    if (m.setFigure) return m.setFigure(s);
    std::vector<double> values;
    for (const TuneStats& t : s.tunes) {
        const double v = m.perTune(t);
        if (!std::isnan(v)) values.push_back(v);
    }
    return median(values);
}

std::string format(double value, const Measure& m, bool withUnit) {
    if (std::isnan(value)) return "-";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f%s", m.decimals, value * m.scale, withUnit ? m.unit : "");
    return buf;
}

std::string raw(double value) {
    if (std::isnan(value)) return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", value);
    return buf;
}

bool meets(const Target& t, double shown) { return t.atLeast ? shown >= t.value : shown <= t.value; }

std::string cellOf(const Measure& m, const TuneStats& t) {
    if (std::string(m.key) == "identified") {
        return t.excerpts ? std::to_string(t.identified) + "/" + std::to_string(t.excerpts) : "-";
    }
    return format(m.perTune(t), m, false);
}

// What the table prints after a tune's figures: its effect letters, or its busiest line and
// the channels that hold noise.
std::string notesOf(const TuneStats& t, int group) {
    if (group == 0) return t.patterns.effectLetters + (t.truncated ? "  (cut at the length cap)" : "");
    std::string text;
    if (t.composition.busiestLine >= 0) text += "line ch" + std::to_string(t.composition.busiestLine + 1);
    for (const SoloChannel& c : t.soloChannels) {
        if (!c.heldNoise) continue;
        char buf[128];
        std::snprintf(buf, sizeof buf, "  noise ch%d (%.0f%% of the tune, %.1f dB, %.1f notes/min)", c.channel + 1,
            100 * c.soundingShare, c.levelDb, c.notesPerMinute);
        text += buf;
    }
    return text;
}

void printTable(std::ostream& out, const SetStats& s) {
    char line[512];
    std::snprintf(line, sizeof line, "%s: %zu tunes\n", s.folder.string().c_str(), s.tunes.size());
    out << line;
    const int nameWidth = 16;
    for (int group : {0, 1}) {
        std::vector<const Measure*> list;
        for (const Measure& m : measures()) {
            if (m.group == group) list.push_back(&m);
        }
        out << std::string(nameWidth, ' ');
        for (const Measure* m : list) {
            std::snprintf(line, sizeof line, "%7s", m->heading);
            out << line;
        }
        out << (group == 0 ? "  letters\n" : "\n");
        for (const TuneStats& t : s.tunes) {
            std::snprintf(line, sizeof line, "%-*.*s", nameWidth, nameWidth, t.name.c_str());
            out << line;
            for (const Measure* m : list) {
                std::snprintf(line, sizeof line, "%7s", cellOf(*m, t).c_str());
                out << line;
            }
            out << "  " << notesOf(t, group) << '\n';
        }
        std::snprintf(line, sizeof line, "%-*s", nameWidth, "median");
        out << line;
        for (const Measure* m : list) {
            std::snprintf(line, sizeof line, "%7s", format(setFigure(*m, s), *m, false).c_str());
            out << line;
        }
        out << "\n\n";
    }
}

void printSummary(std::ostream& out, const SetStats& ours, const SetStats* reference, bool targets) {
    char line[512];
    std::snprintf(line, sizeof line, "%-50s %12s", "median over the set", "first");
    out << line;
    if (reference) {
        std::snprintf(line, sizeof line, " %12s", "reference");
        out << line;
    }
    if (targets) out << "   target";
    out << '\n';
    for (const Measure& m : measures()) {
        const double ourValue = setFigure(m, ours);
        std::snprintf(line, sizeof line, "%-50s %12s", m.label, format(ourValue, m, true).c_str());
        out << line;
        if (reference) {
            std::snprintf(line, sizeof line, " %12s", format(setFigure(m, *reference), m, true).c_str());
            out << line;
        }
        if (targets && m.target) {
            const double shown = std::isnan(ourValue) ? ourValue : ourValue * m.scale;
            const bool ok = !std::isnan(shown) && meets(*m.target, shown);
            std::snprintf(line, sizeof line, "   %s %g%s  %s", m.target->atLeast ? ">=" : "<=", m.target->value, m.unit,
                ok ? "pass" : "FAIL");
            out << line;
        }
        out << '\n';
    }
}

void printTsv(std::ostream& out, const SetStats& s, const char* setName) {
    for (const TuneStats& t : s.tunes) {
        out << setName << '\t' << t.name;
        for (const Measure& m : measures()) out << '\t' << raw(m.perTune(t));
        out << '\t' << t.patterns.effectLetters << '\n';
    }
    out << setName << "\t(median)";
    for (const Measure& m : measures()) out << '\t' << raw(setFigure(m, s));
    out << "\t\n";
}

} // namespace

// Why tunes sound alike: the long-term band levels (63 Hz to 20 kHz, dB below the loudest band),
// each tune's closest other tune by that shape, and which tune each excerpt was taken for.
void printSpectra(std::ostream& out, const SetStats& set) {
    out << '\n' << set.folder.string() << ": third-octave levels, 63 Hz .. 20 kHz\n";
    for (const TuneStats& t : set.tunes) {
        out << std::left << std::setw(16) << t.name.substr(0, 15) << std::right;
        for (const double db : t.thirdOctaveDb) out << std::setw(4) << static_cast<int>(std::lround(db));
        double best = -2;
        std::string closest;
        for (const TuneStats& u : set.tunes) {
            if (&u == &t) continue;
            const double r = correlation(t.thirdOctaveDb, u.thirdOctaveDb);
            if (r > best) {
                best = r;
                closest = u.name;
            }
        }
        out << "  closest " << closest << ' ' << std::fixed << std::setprecision(2) << best << "  excerpts:";
        for (const std::string& n : t.nearest) out << ' ' << (n == t.name ? "self" : n);
        out << '\n';
    }
}

// Where a tune's shared material comes from: for figures, drum bars and chord runs, the share
// another tune also has and the tunes that have most of it, with how many items each.
void printShared(std::ostream& out, const SetStats& set) {
    struct Kind {
        const char* name;
        std::set<Key> CompositionStats::*items;
        double CompositionStats::*share;
    };
    const Kind kinds[] = {{"figures", &CompositionStats::figures, &CompositionStats::sharedFigures},
        {"drum bars", &CompositionStats::drumBars, &CompositionStats::sharedDrumBars},
        {"chord runs", &CompositionStats::chordRuns, &CompositionStats::sharedChordRuns}};
    out << '\n' << set.folder.string() << ": shared with (items in common)\n";
    for (const TuneStats& t : set.tunes) {
        out << t.name << '\n';
        for (const Kind& k : kinds) {
            const auto& mine = t.composition.*k.items;
            std::vector<std::pair<std::size_t, std::string>> others;
            for (const TuneStats& u : set.tunes) {
                if (&u == &t) continue;
                const auto& theirs = u.composition.*k.items;
                std::size_t common = 0;
                for (const Key& key : mine) common += theirs.count(key);
                if (common > 0) others.push_back({common, u.name});
            }
            std::sort(others.begin(), others.end(), [](const auto& a, const auto& b) {
                return a.first != b.first ? a.first > b.first : a.second < b.second;
            });
            char line[128];
            const double share = t.composition.*k.share;
            const std::string shown = std::isnan(share) ? "-" : std::to_string(std::lround(100 * share)) + " %";
            std::snprintf(line, sizeof line, "  %-11s %4zu, %s shared", k.name, mine.size(), shown.c_str());
            out << line;
            for (std::size_t i = 0; i < others.size() && i < 4; ++i)
                out << (i ? ", " : ": ") << others[i].second << ' ' << others[i].first;
            if (others.size() > 4) out << ", " << others.size() - 4 << " more";
            out << '\n';
        }
    }
}

void printReport(std::ostream& out, const SetStats& ours, const SetStats* reference, const ReportOptions& options) {
    if (options.tsv) {
        out << "set\tfile";
        for (const Measure& m : measures()) out << '\t' << m.key;
        out << "\tletters\n";
        printTsv(out, ours, "first");
        if (reference) printTsv(out, *reference, "reference");
        if (options.targets) {
            out << "\nmeasure\tfirst\ttarget\tresult\n";
            for (const Measure& m : measures()) {
                if (!m.target) continue;
                const double v = setFigure(m, ours);
                const bool ok = !std::isnan(v) && meets(*m.target, v * m.scale);
                out << m.key << '\t' << raw(v) << '\t' << (m.target->atLeast ? ">=" : "<=")
                    << raw(m.target->value / m.scale) << '\t' << (ok ? "pass" : "fail") << '\n';
            }
        }
        return;
    }
    printTable(out, ours);
    if (reference) printTable(out, *reference);
    printSummary(out, ours, reference, options.targets);
    if (options.spectra) {
        printSpectra(out, ours);
        if (reference) printSpectra(out, *reference);
    }
    if (options.shared) {
        printShared(out, ours);
        if (reference) printShared(out, *reference);
    }
}

} // namespace musicstats
