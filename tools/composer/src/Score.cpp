#include "Score.h"
#include "Tune.h"

#include "Voicing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace composer::score {

namespace {

using modwriter::kNoteCut;
using modwriter::kNoteNone;
using modwriter::kNoteOff;

struct Word {
    std::string text;
    int line;
};

struct Line {
    int number;
    bool indented;
    std::vector<std::string> words;
};

bool isName(const std::string& s) {
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '\''; });
}

// Splits a line into words; <...> and {...} stay one word with what they are attached to.
std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> out;
    std::string current;
    int depth = 0;
    for (char c : text) {
        if (c == '<' || c == '{') ++depth;
        if (c == '>' || c == '}') depth = std::max(0, depth - 1);
        if ((c == ' ' || c == '\t' || c == '\r') && depth == 0) {
            if (!current.empty()) out.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) out.push_back(current);
    return out;
}

class Parser {
public:
    Parser(const std::string& text, std::string path) : path_(std::move(path)) {
        std::istringstream in(text);
        std::string raw;
        int number = 0;
        while (std::getline(in, raw)) {
            ++number;
            // A comment starts with '#' at the start of a word; inside one it is a sharp.
            for (std::size_t k = 0; k < raw.size(); ++k) {
                if (raw[k] == '#' && (k == 0 || raw[k - 1] == ' ' || raw[k - 1] == '\t')) {
                    raw.erase(k);
                    break;
                }
            }
            auto words = splitWords(raw);
            if (words.empty()) continue;
            lines_.push_back({number, raw[0] == ' ' || raw[0] == '\t', std::move(words)});
        }
        s_.path = path_;
    }

    Score run();

private:
    [[noreturn]] void fail(int line, const std::string& message) const {
        throw Error(path_ + ":" + std::to_string(line) + ": " + message);
    }

    int integer(const std::string& s, int line, int lo, int hi, const std::string& what) const {
        int v = 0;
        const char* begin = s.data();
        if (!s.empty() && s[0] == '+') ++begin;
        const auto [p, ec] = std::from_chars(begin, s.data() + s.size(), v);
        if (ec != std::errc() || p != s.data() + s.size())
            fail(line, what + " must be a whole number, not '" + s + "'");
        if (v < lo || v > hi)
            fail(line, what + " must be " + std::to_string(lo) + ".." + std::to_string(hi) + ", not " + s);
        return v;
    }

    double real(const std::string& s, int line, const std::string& what) const {
        try {
            std::size_t used = 0;
            const double v = std::stod(s, &used);
            if (used == s.size() && std::isfinite(v)) return v;
        } catch (const std::exception&) {
        }
        fail(line, what + " must be a number, not '" + s + "'");
    }

    int pitch(const std::string& s, int line) const;
    int length(const std::string& s, int line) const;
    std::vector<Event> effects(const std::string& s, int line, int rows) const;

    void header(const Line& l);
    void instrument(std::size_t& i);
    void instrumentWord(Instrument& ins, const std::string& w, int line);
    void envelope(Instrument& ins, const Line& l);
    void voice(const Line& l);
    void kit(std::size_t& i);
    void progression(std::size_t& i);
    void comp(const Line& l);
    void phraseBlock(std::size_t& i);
    void groove(std::size_t& i);
    void section(std::size_t& i);
    void order(const Line& l);

    Phrase compilePhrase(const std::string& name, int line, const std::vector<Word>& words) const;
    void compileComp(const Line& l);
    void compileSection(const Line& head, const std::vector<Line>& body);
    int voiceIndex(const std::string& name, int line) const;
    int instrumentIndex(const std::string& name, int line) const;
    // Progressions, sections and the rest (phrases, comps, grooves) are named apart.
    enum class Space { Material, Progression, Section };
    void uniqueName(const std::string& name, int line, Space space = Space::Material);

    std::string path_;
    std::vector<Line> lines_;
    Score s_;
    std::set<std::string> seenHeader_;
    std::map<int, std::set<std::string>> names_;
    struct Hit {
        std::string instrument;
        int line;
        int volume;
        int note;
        char effect;
        std::uint8_t param;
    };
    std::map<char, Hit> kit_;
    std::map<std::string, std::pair<int, Progression>> progressions_;
    std::vector<std::pair<std::string, std::pair<int, std::vector<Word>>>> rawPhrases_;
    std::vector<Line> comps_, voices_;
    std::vector<std::pair<Line, std::vector<Line>>> rawGrooves_, rawSections_;
    std::vector<Line> orders_;
};

int Parser::pitch(const std::string& s, int line) const {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (s.size() < 2 || s[0] < 'A' || s[0] > 'G') fail(line, "'" + s + "' is not a pitch (write it as C4, F#3, Bb2)");
    int pc = base[s[0] - 'A'];
    std::size_t i = 1;
    while (i < s.size() && (s[i] == '#' || s[i] == 'b')) pc += s[i++] == '#' ? 1 : -1;
    if (i >= s.size()) fail(line, "'" + s + "' has no octave (write it as C4, F#3, Bb2)");
    const int octave = integer(s.substr(i), line, -1, 9, "the octave of " + s);
    const int note = 12 * (octave + 1) + pc;
    if (note < 0 || note > modwriter::kMaxNote) fail(line, "pitch " + s + " is out of the tracker's range (C-1..B8)");
    return note;
}

int Parser::length(const std::string& s, int line) const {
    if (s.empty()) fail(line, "empty length");
    int total = 0;
    std::size_t start = 0;
    while (start <= s.size()) {
        const std::size_t plus = s.find('+', start);
        const std::string part = s.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (part.empty()) fail(line, "bad length '" + s + "'");
        if (part.back() == 'r') {
            total += integer(part.substr(0, part.size() - 1), line, 1, 4096, "a length in rows");
        } else {
            std::size_t dots = 0;
            while (dots < part.size() && part[part.size() - 1 - dots] == '.') ++dots;
            const int d = integer(part.substr(0, part.size() - dots), line, 1, 128, "a note value");
            if ((d & (d - 1)) != 0)
                fail(line, "note value " + part + " is not 1, 2, 4, 8, 16, 32, 64 or 128 (use '3r' for rows)");
            // rows = 4 * beat / d, each dot adding half of the one before
            int num = 4 * s_.beatRows;
            int rows = 0;
            int denom = d;
            for (std::size_t k = 0; k <= dots; ++k) {
                if (num % denom != 0)
                    fail(line, "length " + part + " is not a whole number of rows with a beat of " +
                                   std::to_string(s_.beatRows) + " rows");
                rows += num / denom;
                denom *= 2;
            }
            total += rows;
        }
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    return total;
}

// "{H44}", "{H44*}", "{3:H44}", "{G30 3:H44*}" for a note of `rows` rows.
std::vector<Event> Parser::effects(const std::string& s, int line, int rows) const {
    std::vector<Event> out;
    for (const std::string& w : splitWords(s)) {
        std::string e = w;
        int offset = 0;
        const auto colon = e.find(':');
        if (colon != std::string::npos) {
            offset = integer(e.substr(0, colon), line, 0, 4095, "an effect's row offset");
            e = e.substr(colon + 1);
        }
        bool toEnd = false;
        if (!e.empty() && e.back() == '*') {
            toEnd = true;
            e.pop_back();
        }
        if (e.size() != 3 || e[0] < 'A' || e[0] > 'Z' || !std::isxdigit(static_cast<unsigned char>(e[1])) ||
            !std::isxdigit(static_cast<unsigned char>(e[2]))) {
            fail(line, "effect '" + w + "' is not a letter and two hex digits (like H44)");
        }
        if (offset >= rows) fail(line, "effect '" + w + "' starts after its note ends");
        const auto param = static_cast<std::uint8_t>(std::stoi(e.substr(1), nullptr, 16));
        for (int r = offset; r < (toEnd ? rows : offset + 1); ++r) {
            for (const Event& other : out) {
                if (other.row == r) fail(line, "two effects on one row of a note");
            }
            Event ev;
            ev.row = r;
            ev.effect = e[0];
            ev.param = param;
            ev.line = line;
            out.push_back(ev);
        }
    }
    return out;
}

void Parser::uniqueName(const std::string& name, int line, Space space) {
    if (!isName(name)) fail(line, "'" + name + "' is not a name (letters, digits, _ and ', starting with a letter)");
    if (!names_[static_cast<int>(space)].insert(name).second) fail(line, "'" + name + "' is already defined");
}

void Parser::header(const Line& l) {
    const std::string& key = l.words[0];
    const int n = l.number;
    if (!seenHeader_.insert(key).second) fail(n, "'" + key + "' is given twice");
    auto rest = [&] {
        std::string v;
        for (std::size_t i = 1; i < l.words.size(); ++i) v += (i > 1 ? " " : "") + l.words[i];
        if (v.empty()) fail(n, "'" + key + "' needs a value");
        return v;
    };
    auto one = [&] {
        if (l.words.size() != 2) fail(n, "'" + key + "' takes one value");
        return l.words[1];
    };
    if (key == "title") {
        s_.title = rest();
        s_.titleLine = n;
        if (s_.title.size() > 25) fail(n, "the title is longer than the 25 characters a module holds");
    } else if (key == "file") {
        s_.file = one();
        s_.fileLine = n;
    } else if (key == "format") {
        const std::string f = one();
        if (f == "IT") s_.format = modwriter::Format::IT;
        else if (f == "S3M") s_.format = modwriter::Format::S3M;
        else fail(n, "format must be IT or S3M");
    } else if (key == "tempo") {
        s_.tempo = integer(one(), n, 32, 255, "tempo");
    } else if (key == "speed") {
        s_.speed = integer(one(), n, 1, 31, "speed");
    } else if (key == "seconds") {
        s_.seconds = integer(one(), n, 1, 3600, "seconds");
        s_.secondsLine = n;
    } else if (key == "key") {
        s_.key = rest();
    } else if (key == "gain") {
        s_.gainDb = real(one(), n, "gain");
        if (s_.gainDb < -30 || s_.gainDb > 8.5) fail(n, "gain must be -30..8.5 dB");
    } else if (key == "bar") {
        s_.barRows = integer(one(), n, 1, 256, "bar");
    } else if (key == "beat") {
        s_.beatRows = integer(one(), n, 1, 64, "beat");
    } else if (key == "swing") {
        s_.swing = integer(one(), n, 0, 15, "swing");
    } else if (key == "eq") {
        s_.eq = {};
        for (std::size_t i = 1; i < l.words.size(); ++i) {
            const std::string& w = l.words[i];
            if (w.rfind("tilt=", 0) == 0) {
                s_.eq.tiltDb = real(w.substr(5), n, "tilt");
                if (s_.eq.tiltDb < -4 || s_.eq.tiltDb > 4) fail(n, "tilt must be -4..4 dB per octave");
                continue;
            }
            const auto c = w.find(':');
            if (c == std::string::npos) fail(n, "eq takes tilt=DB and HZ:DB bells, not '" + w + "'");
            const double hz = real(w.substr(0, c), n, "bell frequency");
            const double db = real(w.substr(c + 1), n, "bell gain");
            if (hz < 20 || hz > 20000) fail(n, "a bell's frequency must be 20..20000 Hz");
            if (db < -24 || db > 12) fail(n, "a bell's gain must be -24..12 dB");
            s_.eq.bells.push_back({hz, db});
        }
    } else if (key == "colour") {
        for (std::size_t i = 1; i < l.words.size(); ++i) {
            const std::string& w = l.words[i];
            const auto eq = w.find('=');
            if (eq == std::string::npos) fail(n, "colour takes key=value words, not '" + w + "'");
            const std::string k = w.substr(0, eq), v = w.substr(eq + 1);
            if (k == "lowcut") s_.colour.lowCutHz = real(v, n, k);
            else if (k == "highcut") s_.colour.highCutHz = real(v, n, k);
            else if (k == "shelf") s_.colour.shelfDb = real(v, n, k);
            else if (k == "peak") {
                const auto c = v.find(':');
                if (c == std::string::npos) fail(n, "peak is HZ:DB, like 900:-2");
                s_.colour.peakHz = real(v.substr(0, c), n, "peak frequency");
                s_.colour.peakDb = real(v.substr(c + 1), n, "peak gain");
            } else fail(n, "colour has no key '" + k + "'");
        }
    }
}

const std::map<std::string, std::set<std::string>>& kindKeys() {
    static const std::map<std::string, std::set<std::string>> keys = {
        {"tone", {"wave", "harmonics", "pw", "bright", "brighttime", "attack", "decay", "sustain", "hold", "loop",
                     "detune", "voices", "drive", "sub", "movement", "breath"}},
        {"pluck", {"bright", "seconds"}},
        {"fm", {"ratio", "index", "indextime", "seconds"}},
        {"kick", {"start", "end", "sweep", "decay", "click", "drive"}},
        {"snare", {"tone", "decay", "snap"}},
        {"clap", {"decay"}},
        {"hat", {"decay", "tone", "top"}},
        {"crash", {"seconds", "top"}},
        {"metal", {"seconds", "spread"}},
        {"tom", {"start", "end", "decay"}},
        {"shaker", {"decay"}},
        {"noise", {"hz", "octaves", "sway", "swells"}},
    };
    return keys;
}

void Parser::instrumentWord(Instrument& ins, const std::string& w, int n) {
    const auto eq = w.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == w.size())
        fail(n, "instrument settings are key=value, not '" + w + "'");
    const std::string k = w.substr(0, eq), v = w.substr(eq + 1);
    const bool it = s_.format == modwriter::Format::IT;
    const auto& own = kindKeys().at(ins.kind);
    if (ins.num.count(k) || (k == "wave" && ins.num.count("wave"))) fail(n, "'" + k + "' is set twice");
    if (k == "wave" && ins.kind == "tone") {
        static const std::map<std::string, synth::Wave> waves = {{"saw", synth::Wave::Saw},
            {"square", synth::Wave::Square}, {"pulse", synth::Wave::Pulse}, {"triangle", synth::Wave::Triangle},
            {"sine", synth::Wave::Sine}, {"organ", synth::Wave::Organ}, {"hollow", synth::Wave::Hollow}};
        const auto found = waves.find(v);
        if (found == waves.end()) fail(n, "wave must be saw, square, pulse, triangle, sine, organ or hollow");
        ins.wave = found->second;
        ins.num["wave"] = 1;
    } else if (k == "bright" && ins.kind == "tone") {
        const auto dots = v.find("..");
        if (dots == std::string::npos) fail(n, "a tone's bright is START..END in partials, like 16..6");
        ins.bright = std::make_pair(real(v.substr(0, dots), n, "bright"), real(v.substr(dots + 2), n, "bright"));
        ins.num["bright"] = 1;
    } else if (own.count(k) || k == "seed" || k == "volume" || k == "level" || k == "crush") {
        ins.num[k] = real(v, n, k);
        if (k == "volume" && (ins.num[k] < 0 || ins.num[k] > 64)) fail(n, "volume must be 0..64");
        if (k == "crush" && (ins.num[k] < 4 || ins.num[k] > 16)) fail(n, "crush must be 4..16 bits");
    } else if (k == "colour") {
        if (v != "none")
            fail(n, "colour=none is the only colour word; give lowcut=, peak=, shelf=, highcut= for its own");
        ins.noColour = true;
    } else if (k == "lowcut" || k == "highcut" || k == "shelf" || k == "peak") {
        if (!ins.colour) ins.colour = synth::Colour{};
        if (k == "lowcut") ins.colour->lowCutHz = real(v, n, k);
        else if (k == "highcut") ins.colour->highCutHz = real(v, n, k);
        else if (k == "shelf") ins.colour->shelfDb = real(v, n, k);
        else {
            const auto c = v.find(':');
            if (c == std::string::npos) fail(n, "peak is HZ:DB, like 900:-2");
            ins.colour->peakHz = real(v.substr(0, c), n, "peak frequency");
            ins.colour->peakDb = real(v.substr(c + 1), n, "peak gain");
        }
    } else if (k == "fadeout" || k == "gvol" || k == "nna") {
        if (!it) fail(n, "'" + k + "' is for IT instruments; S3M has only samples");
        if (k == "nna") {
            using NNA = modwriter::Instrument::NewNoteAction;
            if (v == "cut") ins.nna = NNA::Cut;
            else if (v == "continue") ins.nna = NNA::Continue;
            else if (v == "off") ins.nna = NNA::NoteOff;
            else if (v == "fade") ins.nna = NNA::Fade;
            else fail(n, "nna must be cut, continue, off or fade");
        } else {
            ins.num[k] = integer(v, n, 0, k == "fadeout" ? 1024 : 128, k);
        }
    } else {
        fail(n, "a " + ins.kind + " has no setting '" + k + "'");
    }
}

void Parser::envelope(Instrument& ins, const Line& l) {
    const std::string& which = l.words[0];
    const int n = l.number;
    if (s_.format != modwriter::Format::IT) fail(n, "envelopes are for IT instruments; S3M has only samples");
    auto& env = which == "volenv" ? ins.volumeEnvelope : (which == "panenv" ? ins.panEnvelope : ins.pitchEnvelope);
    if (!env.empty()) fail(n, which + " is given twice");
    const int lo = which == "volenv" ? 0 : -32, hi = which == "volenv" ? 64 : 32;
    for (std::size_t i = 1; i < l.words.size(); ++i) {
        std::string w = l.words[i];
        bool sustain = false;
        if (!w.empty() && w.back() == '*') {
            if (which != "volenv") fail(n, "only the volume envelope has a sustain point");
            if (ins.sustainPoint >= 0) fail(n, "one sustain point an envelope");
            sustain = true;
            w.pop_back();
        }
        const auto c = w.find(':');
        if (c == std::string::npos) fail(n, "envelope points are TICK:VALUE, not '" + l.words[i] + "'");
        modwriter::EnvelopePoint p;
        p.tick = integer(w.substr(0, c), n, 0, 9999, "an envelope tick");
        p.value = integer(w.substr(c + 1), n, lo, hi, "a " + which + " value");
        if (!env.empty() && p.tick <= env.back().tick) fail(n, "envelope ticks must rise");
        if (env.empty() && p.tick != 0) fail(n, "an envelope starts at tick 0");
        if (sustain) ins.sustainPoint = static_cast<int>(env.size());
        env.push_back(p);
    }
    if (env.size() < 2 || env.size() > 25) fail(n, "an envelope has 2 to 25 points");
}

void Parser::instrument(std::size_t& i) {
    const Line& head = lines_[i];
    if (head.words.size() < 3) fail(head.number, "instrument NAME KIND key=value ...");
    Instrument ins;
    ins.name = head.words[1];
    ins.kind = head.words[2];
    ins.line = head.number;
    if (!isName(ins.name)) fail(head.number, "'" + ins.name + "' is not a name");
    for (const Instrument& other : s_.instruments) {
        if (other.name == ins.name) fail(head.number, "instrument '" + ins.name + "' is already defined");
    }
    if (!kindKeys().count(ins.kind)) {
        fail(head.number, "no instrument kind '" + ins.kind +
                              "' (tone, pluck, fm, kick, snare, clap, hat, crash, metal, tom, shaker, noise)");
    }
    for (std::size_t w = 3; w < head.words.size(); ++w) instrumentWord(ins, head.words[w], head.number);
    while (i + 1 < lines_.size() && lines_[i + 1].indented) {
        const Line& l = lines_[++i];
        if (l.words[0] == "volenv" || l.words[0] == "panenv" || l.words[0] == "pitchenv") {
            envelope(ins, l);
        } else {
            for (const std::string& w : l.words) instrumentWord(ins, w, l.number);
        }
    }
    if (s_.instruments.size() >= 99) fail(head.number, "more than 99 instruments");
    s_.instruments.push_back(std::move(ins));
}

int Parser::instrumentIndex(const std::string& name, int line) const {
    for (std::size_t i = 0; i < s_.instruments.size(); ++i) {
        if (s_.instruments[i].name == name) return static_cast<int>(i + 1);
    }
    fail(line, "no instrument '" + name + "'");
}

int Parser::voiceIndex(const std::string& name, int line) const {
    for (std::size_t i = 0; i < s_.voices.size(); ++i) {
        if (s_.voices[i].name == name) return static_cast<int>(i);
    }
    fail(line, "no voice '" + name + "'");
}

void Parser::voice(const Line& l) {
    const int n = l.number;
    if (l.words.size() < 3) fail(n, "voice NAME INSTRUMENT [pan=N] [volume=N] [channels=N]");
    Voice v;
    v.name = l.words[1];
    if (!isName(v.name) || v.name == "drums" || v.name == "master") fail(n, "'" + v.name + "' cannot name a voice");
    for (const Voice& other : s_.voices) {
        if (other.name == v.name) fail(n, "voice '" + v.name + "' is already defined");
    }
    if (l.words[2] != "-") v.instrument = instrumentIndex(l.words[2], n);
    for (std::size_t i = 3; i < l.words.size(); ++i) {
        const std::string& w = l.words[i];
        const auto eq = w.find('=');
        const std::string k = eq == std::string::npos ? w : w.substr(0, eq),
                          val = eq == std::string::npos ? "" : w.substr(eq + 1);
        if (k == "pan") v.pan = integer(val, n, 0, 64, "pan");
        else if (k == "volume") {
            // S3M keeps no volume per channel: the setting would be dropped without a word.
            if (s_.format != modwriter::Format::IT)
                fail(n, "a voice's volume is IT only (S3M has no channel volume); give its instrument level= instead");
            v.volume = integer(val, n, 0, 64, "volume");
        } else if (k == "channels") v.channels = integer(val, n, 1, 8, "channels");
        else fail(n, "a voice has no setting '" + w + "'");
    }
    v.firstChannel = s_.voices.empty() ? 0 : s_.voices.back().firstChannel + s_.voices.back().channels;
    s_.voices.push_back(v);
}

void Parser::kit(std::size_t& i) {
    const int n = lines_[i].number;
    if (lines_[i].words.size() != 1) fail(n, "'kit' stands alone; its hits follow on indented lines");
    while (i + 1 < lines_.size() && lines_[i + 1].indented) {
        const Line& l = lines_[++i];
        if (l.words.size() < 3 || l.words.size() > 5 || l.words[0].size() != 1) {
            fail(l.number, "a hit is CHARACTER INSTRUMENT VOLUME [PITCH] [EFFECT]");
        }
        const char c = l.words[0][0];
        if (c == '.' || c == '=' || c == '|' || c == '#')
            fail(l.number, "'" + l.words[0] + "' is kept for the grooves' own marks");
        if (kit_.count(c)) fail(l.number, std::string("hit '") + c + "' is already defined");
        Hit hit{l.words[1], l.number, integer(l.words[2], l.number, 0, 64, "a hit's volume"), 60, 0, 0};
        for (std::size_t k = 3; k < l.words.size(); ++k) {
            const std::string& w = l.words[k];
            // An effect is a capital and two hex digits (Q03); a pitch has '#', 'b' or its octave second.
            const auto hex = [](char x) {
                return std::isdigit(static_cast<unsigned char>(x)) || (x >= 'A' && x <= 'F');
            };
            const bool isEffect = w.size() == 3 && w[0] >= 'A' && w[0] <= 'Z' && hex(w[1]) && hex(w[2]);
            if (isEffect && hit.effect == 0) {
                const auto e = effects(w, l.number, 1);
                hit.effect = e.front().effect;
                hit.param = e.front().param;
            } else if (k == 3) {
                hit.note = pitch(w, l.number);
            } else {
                fail(l.number, "'" + w + "' is neither the hit's pitch nor an effect (like Q03)");
            }
        }
        kit_[c] = hit;
    }
}

void Parser::progression(std::size_t& i) {
    const Line& head = lines_[i];
    if (head.words.size() != 2) fail(head.number, "progression NAME, then its bars on indented lines");
    const std::string name = head.words[1];
    uniqueName(name, head.number, Space::Progression);
    Progression p;
    std::vector<std::string> bar;
    int barLine = head.number;
    std::optional<Chord> last;
    auto close = [&](int line) {
        if (bar.empty()) return;
        if (s_.barRows % static_cast<int>(bar.size()) != 0) {
            fail(line, "a bar of " + std::to_string(s_.barRows) + " rows cannot be shared by " +
                           std::to_string(bar.size()) + " chords");
        }
        const int each = s_.barRows / static_cast<int>(bar.size());
        if (bar.size() == 1 && (bar[0] == "%" || bar[0] == ".")) {
            if (p.segments.empty()) fail(line, "the first bar has no chord to hold");
            p.segments.back().rows += s_.barRows;
        } else {
            for (const std::string& w : bar) {
                if (w == ".") {
                    if (p.segments.empty()) fail(line, "'.' with no chord before it");
                    p.segments.back().rows += each;
                } else if (w == "-") {
                    p.segments.push_back({std::nullopt, p.rows, each});
                } else {
                    std::string why;
                    auto c = parseChord(w, why);
                    if (!c) fail(line, why);
                    p.segments.push_back({*c, p.rows, each});
                }
                p.rows += each;
            }
            bar.clear();
            return;
        }
        p.rows += s_.barRows;
        bar.clear();
    };
    bool any = false;
    while (i + 1 < lines_.size() && lines_[i + 1].indented) {
        const Line& l = lines_[++i];
        for (const std::string& w : l.words) {
            // Bar lines may be written against their chords: "|Am" or "E7|".
            std::string word = w;
            std::vector<std::string> pieces;
            std::string cur;
            for (char c : word) {
                if (c == '|') {
                    if (!cur.empty()) pieces.push_back(cur);
                    cur.clear();
                    pieces.push_back("|");
                } else {
                    cur += c;
                }
            }
            if (!cur.empty()) pieces.push_back(cur);
            for (const std::string& piece : pieces) {
                if (piece == "|") {
                    close(l.number);
                    any = true;
                } else {
                    if (bar.empty()) barLine = l.number;
                    bar.push_back(piece);
                }
            }
        }
    }
    if (!bar.empty()) fail(barLine, "a bar with no closing '|'");
    if (!any || p.rows == 0) fail(head.number, "progression '" + name + "' has no bars");
    (void)last;
    progressions_[name] = {head.number, p};
}

void Parser::phraseBlock(std::size_t& i) {
    const Line& head = lines_[i];
    if (head.words.size() != 2) fail(head.number, "phrase NAME, then its notes on indented lines");
    uniqueName(head.words[1], head.number);
    std::vector<Word> words;
    while (i + 1 < lines_.size() && lines_[i + 1].indented) {
        const Line& l = lines_[++i];
        for (const std::string& w : l.words) words.push_back({w, l.number});
    }
    if (words.empty()) fail(head.number, "phrase '" + head.words[1] + "' is empty");
    rawPhrases_.push_back({head.words[1], {head.number, words}});
}

void Parser::groove(std::size_t& i) {
    const Line& head = lines_[i];
    if (head.words.size() != 2) fail(head.number, "groove NAME, then a line per voice");
    uniqueName(head.words[1], head.number);
    std::vector<Line> body;
    while (i + 1 < lines_.size() && lines_[i + 1].indented) body.push_back(lines_[++i]);
    if (body.empty()) fail(head.number, "groove '" + head.words[1] + "' is empty");
    rawGrooves_.push_back({head, body});
}

void Parser::section(std::size_t& i) {
    const Line& head = lines_[i];
    if (head.words.size() < 2 || head.words.size() > 3) fail(head.number, "section NAME [BARS]");
    uniqueName(head.words[1], head.number, Space::Section);
    std::vector<Line> body;
    while (i + 1 < lines_.size() && lines_[i + 1].indented) body.push_back(lines_[++i]);
    rawSections_.push_back({head, body});
}

Phrase Parser::compilePhrase(const std::string& name, int line, const std::vector<Word>& words) const {
    Phrase p;
    p.name = name;
    p.line = line;
    int row = 0;
    int len = 0;
    int volume = -1;
    int instrument = 0;
    for (const Word& w : words) {
        const std::string& t = w.text;
        const int n = w.line;
        if (t == "|") {
            if (row % s_.barRows != 0) {
                fail(n, "bar line at row " + std::to_string(row % s_.barRows) + " of a bar (after " +
                            std::to_string(row) + " rows)");
            }
            continue;
        }
        if (t.size() >= 2 && t[0] == 'v' && std::isdigit(static_cast<unsigned char>(t[1]))) {
            volume = integer(t.substr(1), n, 0, 64, "a volume");
            continue;
        }
        if (t.size() >= 3 && t.front() == '[' && t.back() == ']') {
            instrument = instrumentIndex(t.substr(1, t.size() - 2), n);
            continue;
        }
        // HEAD[:LEN][@VOL][{FX}]
        std::string head, lenText, volText, fxText;
        std::size_t k = 0;
        if (!t.empty() && t[0] == '<') {
            const auto close = t.find('>');
            if (close == std::string::npos) fail(n, "chord '" + t + "' has no closing '>'");
            head = t.substr(0, close + 1);
            k = close + 1;
        } else {
            while (k < t.size() && t[k] != ':' && t[k] != '@' && t[k] != '{') head += t[k++];
        }
        while (k < t.size()) {
            const char mark = t[k++];
            std::string part;
            if (mark == '{') {
                const auto close = t.find('}', k);
                if (close == std::string::npos) fail(n, "'" + t + "' has no closing '}'");
                part = t.substr(k, close - k);
                k = close + 1;
                if (!fxText.empty()) fail(n, "one {...} a note");
                fxText = part.empty() ? " " : part;
                continue;
            }
            while (k < t.size() && t[k] != ':' && t[k] != '@' && t[k] != '{') part += t[k++];
            if (mark == ':') {
                if (!lenText.empty()) fail(n, "two lengths in '" + t + "'");
                lenText = part;
            } else if (mark == '@') {
                if (!volText.empty()) fail(n, "two volumes in '" + t + "'");
                volText = part;
            } else {
                fail(n, "cannot read '" + t + "'");
            }
        }
        if (!lenText.empty()) len = length(lenText, n);
        if (len == 0) fail(n, "'" + t + "' needs a length (like " + head + ":4), as the first note of a phrase");
        const int vol = volText.empty() ? volume : integer(volText, n, 0, 64, "a volume");

        std::vector<int> notes;
        bool isNote = true;
        if (head == "r") {
            notes = {kNoteOff};
            isNote = false;
        } else if (head == "cut") {
            notes = {kNoteCut};
            isNote = false;
        } else if (head == "_") {
            notes = {kNoteNone};
            isNote = false;
        } else if (head.front() == '<') {
            for (const std::string& pw : splitWords(head.substr(1, head.size() - 2))) notes.push_back(pitch(pw, n));
            if (notes.empty()) fail(n, "empty chord");
        } else {
            notes = {pitch(head, n)};
        }
        if (isNote && !volText.empty() && vol < 0) fail(n, "bad volume");
        p.channels = std::max(p.channels, static_cast<int>(notes.size()));
        p.notes = p.notes || isNote;
        const std::vector<Event> fx = fxText.empty() ? std::vector<Event>{} : effects(fxText, n, len);
        for (std::size_t c = 0; c < notes.size(); ++c) {
            Event e;
            e.row = row;
            e.channel = static_cast<int>(c);
            e.note = notes[c];
            e.instrument = isNote ? instrument : 0;
            e.volume = isNote ? vol : -1;
            e.line = n;
            bool placed = false;
            for (const Event& f : fx) {
                if (f.row == 0) {
                    e.effect = f.effect;
                    e.param = f.param;
                }
            }
            if (e.note != kNoteNone || e.effect != 0) {
                p.events.push_back(e);
                placed = true;
            }
            (void)placed;
            for (const Event& f : fx) {
                if (f.row == 0) continue;
                Event fe = f;
                fe.row = row + f.row;
                fe.channel = static_cast<int>(c);
                p.events.push_back(fe);
            }
        }
        row += len;
    }
    p.rows = row;
    return p;
}

void Parser::compileComp(const Line& l) {
    const int n = l.number;
    if (l.words.size() < 4)
        fail(n, "comp NAME PROGRESSION held|arp FIGURE /LENGTH|stabs MASK [around=NOTE] [notes=N] [vol=N]");
    const std::string& name = l.words[1];
    const auto prog = progressions_.find(l.words[2]);
    if (prog == progressions_.end()) fail(n, "no progression '" + l.words[2] + "'");
    const Progression& p = prog->second.second;
    CompStyle style;
    style.kind = l.words[3];
    std::size_t i = 4;
    int around = 60, notes = 0, vol = -1;
    char fxLetter = 0;
    std::uint8_t fxParam = 0;
    if (style.kind == "arp") {
        for (; i < l.words.size() && l.words[i][0] != '/'; ++i) {
            const std::string& w = l.words[i];
            if (w == "r" || w == "_") {
                style.figure.push_back({w == "r" ? -1 : -2, 0});
                continue;
            }
            std::size_t k = 0;
            while (k < w.size() && std::isdigit(static_cast<unsigned char>(w[k]))) ++k;
            if (k == 0) fail(n, "arp figure word '" + w + "' is not a chord note number (1, 2', 3,) or r or _");
            const int index = integer(w.substr(0, k), n, 1, 8, "a chord note number");
            int octave = 0;
            for (; k < w.size(); ++k) {
                if (w[k] == '\'') ++octave;
                else if (w[k] == ',') --octave;
                else fail(n, "arp figure word '" + w + "' is not a chord note number (1, 2', 3,) or r or _");
            }
            style.figure.push_back({index, octave});
        }
        if (style.figure.empty()) fail(n, "arp needs a figure, like 1 2 3 2 /16");
        if (i >= l.words.size()) fail(n, "arp needs the length of its notes, like /16");
        style.step = length(l.words[i].substr(1), n);
        ++i;
    } else if (style.kind == "stabs") {
        if (i >= l.words.size()) fail(n, "stabs needs a mask, like x..x..x.");
        style.mask = l.words[i++];
        for (char c : style.mask) {
            if (c != 'x' && c != 'X' && c != '.' && c != '=') fail(n, "a stab mask holds x, X, . and = only");
        }
    } else if (style.kind != "held") {
        fail(n, "comp style must be held, arp or stabs, not '" + style.kind + "'");
    }
    for (; i < l.words.size(); ++i) {
        const std::string& w = l.words[i];
        const auto eq = w.find('=');
        const std::string k = eq == std::string::npos ? w : w.substr(0, eq),
                          v = eq == std::string::npos ? "" : w.substr(eq + 1);
        if (k == "around") around = pitch(v, n);
        else if (k == "notes") notes = integer(v, n, 1, 8, "notes");
        else if (k == "vol") vol = integer(v, n, 0, 64, "vol");
        else if (k == "fx") {
            const auto e = effects(v + "*", n, 1);
            fxLetter = e.front().effect;
            fxParam = e.front().param;
        } else fail(n, "a comp has no setting '" + w + "'");
    }
    style.around = around;
    style.notes = notes;
    style.volume = vol;
    Phrase ph;
    ph.name = name;
    ph.line = n;
    ph.rows = p.rows;
    ph.notes = true;
    std::string why;
    auto events = realiseComp(p, style, s_.barRows, ph.channels, why);
    if (!why.empty()) fail(n, why);
    for (auto& e : events) {
        Event ev;
        ev.row = e.row;
        ev.channel = e.channel;
        ev.note = e.note;
        ev.volume = e.volume;
        ev.line = n;
        ph.events.push_back(ev);
    }
    if (fxLetter != 0) {
        // The effect runs on every row a comp note sounds, from its first row to the next event.
        std::map<std::pair<int, int>, std::size_t> at;
        for (std::size_t k = 0; k < ph.events.size(); ++k) at[{ph.events[k].channel, ph.events[k].row}] = k;
        for (int c = 0; c < ph.channels; ++c) {
            bool sounding = false;
            for (int r = 0; r < ph.rows; ++r) {
                const auto found = at.find({c, r});
                if (found != at.end()) sounding = ph.events[found->second].note >= 0;
                if (!sounding) continue;
                if (found != at.end()) {
                    ph.events[found->second].effect = fxLetter;
                    ph.events[found->second].param = fxParam;
                } else {
                    Event ev;
                    ev.row = r;
                    ev.channel = c;
                    ev.effect = fxLetter;
                    ev.param = fxParam;
                    ev.line = n;
                    ph.events.push_back(ev);
                }
            }
        }
    }
    s_.phrases[name] = std::move(ph);
}

void Parser::order(const Line& l) {
    for (std::size_t i = 1; i < l.words.size(); ++i) {
        std::string w = l.words[i];
        int repeat = 1;
        const auto star = w.find('*');
        if (star != std::string::npos) {
            repeat = integer(w.substr(star + 1), l.number, 1, 99, "a repeat");
            w = w.substr(0, star);
        }
        int found = -1;
        for (std::size_t k = 0; k < s_.sections.size(); ++k) {
            if (s_.sections[k].name == w) found = static_cast<int>(k);
        }
        if (found < 0) fail(l.number, "no section '" + w + "'");
        for (int r = 0; r < repeat; ++r) s_.order.push_back(found);
    }
}

void Parser::compileSection(const Line& head, const std::vector<Line>& body) {
    Section sec;
    sec.name = head.words[1];
    sec.line = head.number;
    const int fixed =
        head.words.size() == 3 ? integer(head.words[2], head.number, 1, 999, "a section's bars") * s_.barRows : 0;
    long longest = 0;
    for (const Line& l : body) {
        Placement pl;
        pl.line = l.number;
        const std::string& who = l.words[0];
        if (who == "drums") {
            pl.kind = Placement::Kind::Drums;
        } else if (who == "master") {
            pl.kind = Placement::Kind::Master;
            s_.usesMaster = true;
        } else {
            pl.voice = voiceIndex(who, l.number);
        }
        long rows = 0;
        for (std::size_t i = 1; i < l.words.size(); ++i) {
            std::string w = l.words[i];
            Item item;
            // NAME then, in any order, +N / -N (semitones), %P (volume), *N (times)
            std::size_t k = w == "-" ? 1 : 0;
            while (k < w.size() && w[k] != '+' && w[k] != '-' && w[k] != '%' && w[k] != '*') ++k;
            const std::string base = w.substr(0, k);
            std::set<char> seen;
            while (k < w.size()) {
                const char mark = w[k++];
                std::size_t end = k;
                while (end < w.size() && std::isdigit(static_cast<unsigned char>(w[end]))) ++end;
                const std::string digits = w.substr(k, end - k);
                if (mark != '+' && mark != '-' && mark != '%' && mark != '*') fail(l.number, "cannot read '" + w + "'");
                const char kind = mark == '-' ? '+' : mark;
                if (!seen.insert(kind).second) fail(l.number, "'" + w + "' says " + std::string(1, mark) + " twice");
                if (mark == '*') item.repeat = integer(digits, l.number, 1, 999, "a repeat");
                else if (mark == '%') item.percent = integer(digits, l.number, 0, 400, "a volume percentage");
                else item.transpose = (mark == '-' ? -1 : 1) * integer(digits, l.number, 0, 48, "a transposition");
                k = end;
            }
            w = base;
            int itemRows = 0;
            if (w == "-") {
                itemRows = s_.barRows;
            } else {
                item.name = w;
                if (pl.kind == Placement::Kind::Drums) {
                    const auto g = s_.grooves.find(w);
                    if (g == s_.grooves.end()) fail(l.number, "no groove '" + w + "'");
                    if (item.transpose != 0) fail(l.number, "a groove is not transposed");
                    itemRows = g->second.rows;
                } else {
                    const auto p = s_.phrases.find(w);
                    if (p == s_.phrases.end())
                        fail(l.number, (s_.grooves.count(w) ? "'" + w + "' is a groove: play it on the drums line"
                                                            : "no phrase '" + w + "'"));
                    if (pl.kind == Placement::Kind::Master) {
                        if (p->second.notes)
                            fail(l.number, "the master line plays effects only, and '" + w + "' has notes");
                    } else if (p->second.channels > s_.voices[static_cast<std::size_t>(pl.voice)].channels) {
                        fail(l.number, "'" + w + "' needs " + std::to_string(p->second.channels) +
                                           " channels and voice '" + who + "' has " +
                                           std::to_string(s_.voices[static_cast<std::size_t>(pl.voice)].channels));
                    }
                    for (const Event& e : p->second.events) {
                        if (e.note >= 0 &&
                            (e.note + item.transpose < 0 || e.note + item.transpose > modwriter::kMaxNote)) {
                            fail(l.number, "'" + w + "' transposed goes out of the tracker's range");
                        }
                    }
                    if (pl.kind == Placement::Kind::Voice &&
                        s_.voices[static_cast<std::size_t>(pl.voice)].instrument == 0) {
                        for (const Event& e : p->second.events) {
                            if (e.note >= 0 && e.instrument == 0) {
                                fail(l.number,
                                    "voice '" + who + "' has no instrument of its own and '" + w + "' names none");
                            }
                        }
                    }
                    itemRows = p->second.rows;
                }
            }
            rows += static_cast<long>(itemRows) * item.repeat;
            if (rows > 40000) fail(l.number, "this line is longer than a module can hold");
            pl.items.push_back(item);
        }
        if (pl.items.empty()) fail(l.number, "nothing to play");
        if (fixed && rows > fixed) {
            fail(l.number,
                "this line lasts " + std::to_string(rows) + " rows; the section has " + std::to_string(fixed));
        }
        longest = std::max(longest, rows);
        pl.rows = static_cast<int>(rows);
        sec.lines.push_back(pl);
    }
    sec.rows = fixed ? fixed : static_cast<int>(longest);
    if (sec.rows == 0) fail(head.number, "section '" + sec.name + "' is empty");
    // A module holds at most 200 patterns of 200 rows.
    if (sec.rows > 40000) fail(head.number, "section '" + sec.name + "' is longer than a module can hold");
    s_.sections.push_back(sec);
}

Score Parser::run() {
    static const std::set<std::string> headerKeys = {"title", "file", "format", "tempo", "speed", "seconds", "key",
        "gain", "bar", "beat", "swing", "colour", "eq"};
    // The grid comes first: lengths depend on it wherever they are written.
    for (const Line& l : lines_) {
        if (!l.indented && (l.words[0] == "bar" || l.words[0] == "beat" || l.words[0] == "format")) header(l);
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        const std::string& w = l.words[0];
        if (l.indented) fail(l.number, "indented line outside a block");
        if (w == "bar" || w == "beat" || w == "format") continue;
        if (headerKeys.count(w)) header(l);
        else if (w == "instrument") instrument(i);
        else if (w == "voice") voices_.push_back(l);
        else if (w == "kit") kit(i);
        else if (w == "progression") progression(i);
        else if (w == "comp") {
            if (l.words.size() >= 2) uniqueName(l.words[1], l.number);
            comps_.push_back(l);
        } else if (w == "phrase") phraseBlock(i);
        else if (w == "groove") groove(i);
        else if (w == "section") section(i);
        else if (w == "order") orders_.push_back(l);
        else fail(l.number, "unknown statement '" + w + "'");
    }
    for (const char* required : {"file", "format", "tempo", "speed"}) {
        if (!seenHeader_.count(required))
            fail(lines_.empty() ? 1 : lines_.front().number, std::string("the header has no '") + required + "'");
    }
    const int headLine = lines_.front().number;
    // The tune list owns a listed tune's title and length; a score may repeat them, never differ.
    if (const TuneSpec* listed = findTune(s_.file)) {
        if (!seenHeader_.count("title")) s_.title = listed->title;
        else if (s_.title != listed->title)
            fail(s_.titleLine, "the tune list's title for " + s_.file + " is \"" + listed->title + "\"");
        if (!seenHeader_.count("seconds")) s_.seconds = listed->seconds;
        else if (s_.seconds != listed->seconds)
            fail(s_.secondsLine,
                "the tune list's length for " + s_.file + " is " + std::to_string(listed->seconds) + " s");
    } else {
        for (const char* required : {"title", "seconds"}) {
            if (!seenHeader_.count(required))
                fail(headLine,
                    std::string("the header has no '") + required + "' and " + s_.file + " is not in the tune list");
        }
    }
    if (modwriter::formatForPath(s_.file) != s_.format)
        fail(headLine, "file " + s_.file + " does not match the format");
    if (s_.barRows % s_.beatRows != 0) fail(headLine, "a bar must hold whole beats");
    if (s_.swing >= s_.speed) fail(headLine, "swing must delay by fewer ticks than the speed");
    for (const Line& l : voices_) voice(l);
    if (s_.voices.empty()) fail(headLine, "no voices");

    for (const auto& [c, hit] : kit_) instrumentIndex(hit.instrument, hit.line);
    for (const Line& l : comps_) compileComp(l);
    for (const auto& [name, raw] : rawPhrases_) s_.phrases[name] = compilePhrase(name, raw.first, raw.second);
    for (const auto& [head, body] : rawGrooves_) {
        Groove g;
        g.name = head.words[1];
        g.line = head.number;
        std::vector<std::pair<int, std::string>> steps;
        for (const Line& l : body) {
            const int v = voiceIndex(l.words[0], l.number);
            std::string s;
            for (std::size_t i = 1; i < l.words.size(); ++i) {
                for (char c : l.words[i]) {
                    if (c != '|') s += c;
                }
            }
            if (s.empty()) fail(l.number, "no steps for voice '" + l.words[0] + "'");
            for (char c : s) {
                if (c != '.' && c != '=' && !kit_.count(c))
                    fail(l.number, std::string("no hit '") + c + "' in the kit");
            }
            for (const auto& other : steps) {
                if (other.first == v) fail(l.number, "voice '" + l.words[0] + "' has two lines in this groove");
            }
            steps.push_back({v, s});
            g.rows = std::max(g.rows, static_cast<int>(s.size()));
        }
        for (std::size_t k = 0; k < steps.size(); ++k) {
            const auto& [v, s] = steps[k];
            if (g.rows % static_cast<int>(s.size()) != 0) {
                fail(body[k].number, "a line of " + std::to_string(s.size()) + " rows does not divide the groove's " +
                                         std::to_string(g.rows));
            }
            Groove::Part part{v, {}};
            for (int r = 0; r < g.rows; ++r) {
                const char c = s[static_cast<std::size_t>(r) % s.size()];
                if (c == '.') continue;
                Event e;
                e.row = r;
                e.line = body[k].number;
                if (c == '=') {
                    e.note = kNoteOff;
                } else {
                    const Hit& h = kit_.at(c);
                    e.note = h.note;
                    e.instrument = instrumentIndex(h.instrument, h.line);
                    e.volume = h.volume;
                    e.effect = h.effect;
                    e.param = h.param;
                }
                part.events.push_back(e);
            }
            g.parts.push_back(std::move(part));
        }
        s_.grooves[g.name] = std::move(g);
    }
    for (const auto& [head, body] : rawSections_) compileSection(head, body);
    for (const Line& l : orders_) order(l);
    if (s_.order.empty()) fail(headLine, "no order");

    s_.orderLine = orders_.front().number;
    if (static_cast<long>(s_.rows()) > 40000) fail(s_.orderLine, "the order is longer than a module can hold");
    if (s_.channelCount() > (s_.format == modwriter::Format::S3M ? 16 : 64)) {
        fail(headLine, "the voices need " + std::to_string(s_.channelCount() - 1) +
                           " channels and one more for control; " +
                           (s_.format == modwriter::Format::S3M ? "S3M holds 16" : "IT holds 64"));
    }
    return std::move(s_);
}

} // namespace

int Score::channelCount() const {
    int n = voices.empty() ? 0 : voices.back().firstChannel + voices.back().channels;
    return n + 1; // the control channel: pattern breaks and the master line
}

int Score::rows() const {
    long r = 0;
    for (int i : order) r += sections[static_cast<std::size_t>(i)].rows;
    return static_cast<int>(std::min<long>(r, 1L << 30));
}

Score parse(const std::string& text, const std::string& path) { return Parser(text, path).run(); }

Score load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(path.string() + ":1: cannot read the score");
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str(), path.string());
}

} // namespace composer::score
