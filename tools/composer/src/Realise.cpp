#include "Realise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

namespace composer::score {

namespace {

using modwriter::Cell;

class Grid {
public:
    Grid(int rows, int channels)
        : rows_(rows), channels_(channels), cells_(static_cast<std::size_t>(rows * channels)) {}
    int rows() const { return rows_; }
    int channels() const { return channels_; }
    Cell& at(int r, int c) { return cells_[static_cast<std::size_t>(r * channels_ + c)]; }
    const Cell& at(int r, int c) const { return cells_[static_cast<std::size_t>(r * channels_ + c)]; }

private:
    int rows_, channels_;
    std::vector<Cell> cells_;
};

std::uint64_t seedOf(const std::string& file, std::size_t index) {
    std::uint64_t h = 1469598103934665603ull;
    for (char c : file) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h + 7919 * (index + 1);
}

class Realiser {
public:
    explicit Realiser(const Score& s) : s_(s), control_(s.channelCount() - 1) {}
    modwriter::Song run();

private:
    [[noreturn]] void fail(int line, const std::string& message) const {
        throw Error(s_.path + ":" + std::to_string(line) + ": " + message);
    }
    void put(Grid& g, int row, int channel, const Event& e, int instrument, int transpose, int percent) const;
    Grid section(const Section& sec) const;
    std::vector<modwriter::Sample> samples(const std::vector<int>& top, const std::vector<int>& centre) const;
    std::vector<modwriter::Instrument> instruments() const;

    const Score& s_;
    int control_;
};

void Realiser::put(Grid& g, int row, int channel, const Event& e, int instrument, int transpose, int percent) const {
    if (row >= g.rows()) return;
    Cell& cell = g.at(row, channel);
    if (e.note != modwriter::kNoteNone) {
        if (cell.note != modwriter::kNoteNone) fail(e.line, "two notes on one row of a channel");
        cell.note = e.note >= 0 ? e.note + transpose : e.note;
        if (e.note >= 0) cell.instrument = e.instrument ? e.instrument : instrument;
        if (e.volume >= 0) cell.volume = std::clamp(static_cast<int>(std::lround(e.volume * percent / 100.0)), 0, 64);
    }
    if (e.effect != 0) {
        if (cell.effect != 0) fail(e.line, "two effects on one row of a channel");
        cell.effect = e.effect;
        cell.param = e.param;
    }
}

Grid Realiser::section(const Section& sec) const {
    Grid g(sec.rows, s_.channelCount());
    for (const Placement& pl : sec.lines) {
        int row = 0;
        for (const Item& item : pl.items) {
            for (int rep = 0; rep < item.repeat; ++rep) {
                if (item.name.empty()) {
                    row += s_.barRows;
                    continue;
                }
                if (pl.kind == Placement::Kind::Drums) {
                    const Groove& gr = s_.grooves.at(item.name);
                    for (const Groove::Part& part : gr.parts) {
                        const Voice& v = s_.voices[static_cast<std::size_t>(part.voice)];
                        for (const Event& e : part.events)
                            put(g, row + e.row, v.firstChannel, e, v.instrument, 0, item.percent);
                    }
                    row += gr.rows;
                } else {
                    const Phrase& p = s_.phrases.at(item.name);
                    const Voice* v =
                        pl.kind == Placement::Kind::Voice ? &s_.voices[static_cast<std::size_t>(pl.voice)] : nullptr;
                    for (const Event& e : p.events) {
                        put(g, row + e.row, v ? v->firstChannel + e.channel : control_, e, v ? v->instrument : 0,
                            item.transpose, item.percent);
                    }
                    row += p.rows;
                }
            }
        }
    }
    if (s_.swing > 0) {
        // Offbeat sixteenths come late by a few ticks.
        for (int r = 1; r < g.rows(); r += 2) {
            for (int c = 0; c < control_; ++c) {
                Cell& cell = g.at(r, c);
                if (cell.note >= 0 && cell.effect == 0) {
                    cell.effect = 'S';
                    cell.param = static_cast<std::uint8_t>(0xD0 | s_.swing);
                }
            }
        }
    }
    return g;
}

modwriter::Song Realiser::run() {
    modwriter::Song song;
    song.title = s_.title;
    song.speed = s_.speed;
    song.tempo = s_.tempo;
    song.globalVolume = 128;
    song.rowsPerBeat = s_.beatRows;
    song.rowsPerBar = s_.barRows;
    song.mixVolume = std::clamp(static_cast<int>(std::lround(48.0 * std::pow(10.0, s_.gainDb / 20.0))), 0, 128);
    for (const Voice& v : s_.voices) {
        for (int c = 0; c < v.channels; ++c) song.channels.push_back({v.pan, v.volume});
    }
    song.channels.push_back({32, 64});

    const bool s3m = s_.format == modwriter::Format::S3M;
    std::map<int, Grid> grids;
    for (int index : s_.order) {
        if (!grids.count(index)) grids.emplace(index, section(s_.sections[static_cast<std::size_t>(index)]));
    }
    // Sections are cut into patterns of `size` rows; in IT a short remainder joins the pattern
    // before it, in S3M it stops early with a break.
    struct Cut {
        std::vector<modwriter::Pattern> patterns;
        std::vector<int> orders;
        long rows = 0; // rows of pattern data the file stores
    };
    auto cut = [&](int size) {
        Cut out;
        std::map<int, std::vector<int>> ids;
        auto add = [&](const Grid& g, int start, int rows, int line) {
            const int height = s3m ? 64 : rows;
            modwriter::Pattern p(height, g.channels());
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < g.channels(); ++c) p.at(r, c) = g.at(start + r, c);
            }
            if (height > rows) {
                // The pattern stops early: a break on its last row, where a channel has room for it.
                int c = g.channels() - 1;
                while (c >= 0 && p.at(rows - 1, c).effect != 0) --c;
                if (c < 0) fail(line, "no channel is free for the pattern break at the section's last row");
                p.at(rows - 1, c).effect = 'C';
                p.at(rows - 1, c).param = 0;
            }
            for (std::size_t i = 0; i < out.patterns.size(); ++i) {
                const modwriter::Pattern& q = out.patterns[i];
                if (q.rows() != p.rows()) continue;
                bool same = true;
                for (int r = 0; r < p.rows() && same; ++r) {
                    for (int c = 0; c < p.channels() && same; ++c) same = q.at(r, c) == p.at(r, c);
                }
                if (same) return static_cast<int>(i);
            }
            out.rows += rows;
            out.patterns.push_back(std::move(p));
            return static_cast<int>(out.patterns.size()) - 1;
        };
        for (int index : s_.order) {
            auto& mine = ids[index];
            if (mine.empty()) {
                const Grid& g = grids.at(index);
                std::vector<std::pair<int, int>> cuts;
                for (int start = 0; start < g.rows(); start += size)
                    cuts.push_back({start, std::min(size, g.rows() - start)});
                if (!s3m && cuts.size() > 1 && cuts.back().second < size / 2) {
                    cuts[cuts.size() - 2].second += cuts.back().second;
                    cuts.pop_back();
                }
                for (const auto& [start, rows] : cuts)
                    mine.push_back(add(g, start, rows, s_.sections[static_cast<std::size_t>(index)].line));
            }
            for (int id : mine) out.orders.push_back(id);
        }
        return out;
    };
    // Where the music repeats in shorter spans, shorter patterns store it once: the cut that
    // keeps the least pattern data wins, within what the format holds.
    Cut best = cut(64);
    Cut half = cut(32);
    if (half.rows < best.rows && half.patterns.size() <= 200 && half.orders.size() <= 254) best = std::move(half);
    song.patterns = std::move(best.patterns);
    song.orders = std::move(best.orders);
    if (song.patterns.size() > 200) fail(s_.sections.front().line, "the score needs more than 200 patterns");
    if (song.orders.size() > 254) fail(s_.sections.front().line, "the order is longer than 254 patterns");

    const double seconds = playSeconds(song);
    if (std::abs(seconds - s_.seconds) > 0.5) {
        char text[160];
        std::snprintf(text, sizeof text, "the order lasts %d rows, %.2f s; the header says %d s", s_.rows(), seconds,
            s_.seconds);
        fail(s_.orderLine, text);
    }

    // Each pitched sample is band-limited to the highest note it plays and coloured where it mostly plays.
    const std::size_t n = s_.instruments.size();
    std::vector<int> top(n, 60);
    std::vector<double> sum(n, 0), count(n, 0);
    for (const modwriter::Pattern& p : song.patterns) {
        for (int r = 0; r < p.rows(); ++r) {
            for (int c = 0; c < p.channels(); ++c) {
                const Cell& cell = p.at(r, c);
                if (cell.note < 0 || cell.instrument <= 0) continue;
                const auto i = static_cast<std::size_t>(cell.instrument - 1);
                top[i] = std::max(top[i], cell.note);
                sum[i] += cell.note;
                count[i] += 1;
            }
        }
    }
    std::vector<int> centre(n, 60);
    for (std::size_t i = 0; i < n; ++i) {
        if (count[i] > 0) centre[i] = static_cast<int>(std::lround(sum[i] / count[i]));
    }
    song.samples = samples(top, centre);
    if (!s3m) song.instruments = instruments();
    return song;
}

std::vector<modwriter::Sample> Realiser::samples(const std::vector<int>& top, const std::vector<int>& centre) const {
    using namespace synth;
    std::vector<modwriter::Sample> out;
    for (std::size_t i = 0; i < s_.instruments.size(); ++i) {
        const Instrument& ins = s_.instruments[i];
        const auto seed =
            ins.num.count("seed") ? static_cast<std::uint64_t>(ins.get("seed", 0)) * 7919 + 17 : seedOf(s_.file, i);
        const auto g = [&](const char* key, double fallback) { return ins.get(key, fallback); };
        const int topNote = top[i];
        modwriter::Sample s;
        const std::string& k = ins.kind;
        if (k == "tone") {
            ToneParams p;
            p.wave = ins.wave;
            p.harmonics = static_cast<int>(g("harmonics", 24));
            p.pulseWidth = g("pw", 0.25);
            if (ins.bright) {
                p.brightStart = ins.bright->first;
                p.brightEnd = ins.bright->second;
            }
            p.brightTime = g("brighttime", 0.2);
            p.attack = g("attack", 0.005);
            p.decay = g("decay", 0.3);
            p.sustain = g("sustain", 0.7);
            p.attackLength = g("hold", 0.4);
            p.loopPeriods = std::clamp(static_cast<int>(g("loop", 128)), 8, 1024);
            p.detune = static_cast<int>(g("detune", 0));
            p.voices = static_cast<int>(g("voices", 1));
            p.drive = g("drive", 0);
            p.sub = g("sub", 0);
            p.movement = g("movement", 0);
            p.breath = g("breath", 0);
            p.topNote = topNote;
            s = tone(ins.name, p);
        } else if (k == "pluck") {
            s = pluck(ins.name, g("bright", 0.5), g("seconds", 1.4), topNote, seed);
        } else if (k == "fm") {
            s = fm(ins.name, g("ratio", 1), g("index", 1.6), g("indextime", 0.3), g("seconds", 1.6), topNote);
        } else if (k == "kick") {
            KickParams p{g("start", 160), g("end", 50), g("sweep", 0.04), g("decay", 0.35), g("click", 0.3),
                g("drive", 1.5)};
            s = kick(ins.name, p, seed);
        } else if (k == "snare") {
            s = snare(ins.name, g("tone", 185), g("decay", 0.16), g("snap", 0.9), seed);
        } else if (k == "clap") {
            s = clap(ins.name, g("decay", 0.1), seed);
        } else if (k == "hat") {
            s = hat(ins.name, g("decay", 0.04), g("tone", 1.0), g("top", 9000), seed);
        } else if (k == "crash") {
            s = crash(ins.name, g("seconds", 1.6), g("top", 9000), seed);
        } else if (k == "metal") {
            s = metal(ins.name, g("seconds", 0.9), g("spread", 1.0));
        } else if (k == "tom") {
            s = tom(ins.name, g("start", 190), g("end", 120), g("decay", 0.18));
        } else if (k == "shaker") {
            s = shaker(ins.name, g("decay", 0.05), seed);
        } else {
            s = noise(ins.name, g("hz", 800), g("octaves", 1), g("sway", 0.3), static_cast<int>(g("swells", 1)), seed);
        }
        if (ins.num.count("level")) {
            const double scale = std::pow(10.0, ins.get("level", 0) / 20.0);
            for (std::int16_t& v : s.data)
                v = static_cast<std::int16_t>(std::clamp(std::lround(v * scale), -32768l, 32767l));
        }
        if (!ins.noColour) colourSample(s, ins.colour ? *ins.colour : s_.colour, centre[i] - 60);
        eqSample(s, s_.eq, centre[i] - 60);
        if (ins.num.count("crush")) crush(s, static_cast<int>(ins.get("crush", 8)));
        s.volume = static_cast<int>(ins.get("volume", 64));
        out.push_back(std::move(s));
    }
    return out;
}

std::vector<modwriter::Instrument> Realiser::instruments() const {
    std::vector<modwriter::Instrument> out;
    for (std::size_t i = 0; i < s_.instruments.size(); ++i) {
        const Instrument& ins = s_.instruments[i];
        modwriter::Instrument m;
        m.name = ins.name;
        m.sample = static_cast<int>(i + 1);
        m.fadeout = static_cast<int>(ins.get("fadeout", 256));
        m.newNoteAction = ins.nna.value_or(modwriter::Instrument::NewNoteAction::Cut);
        m.globalVolume = static_cast<int>(ins.get("gvol", 128));
        m.volumeEnvelope = ins.volumeEnvelope;
        m.sustainPoint = ins.sustainPoint;
        m.panEnvelope = ins.panEnvelope;
        m.pitchEnvelope = ins.pitchEnvelope;
        out.push_back(std::move(m));
    }
    return out;
}

} // namespace

modwriter::Song realise(const Score& score) { return Realiser(score).run(); }

double playSeconds(const modwriter::Song& song) {
    double seconds = 0;
    int speed = song.speed, tempo = song.tempo;
    for (int index : song.orders) {
        const modwriter::Pattern& p = song.patterns[static_cast<std::size_t>(index)];
        for (int r = 0; r < p.rows(); ++r) {
            bool stop = false;
            for (int c = 0; c < p.channels(); ++c) {
                const Cell& cell = p.at(r, c);
                if (cell.effect == 'A' && cell.param > 0) speed = cell.param;
                if (cell.effect == 'T' && cell.param >= 0x20) tempo = cell.param;
                if (cell.effect == 'C') stop = true;
            }
            seconds += 2.5 * speed / tempo;
            if (stop) break;
        }
    }
    return seconds;
}

} // namespace composer::score
