// A tune as its composer wrote it: header, instruments, voices, phrases, comps, grooves,
// sections and order, read from one plain-text score (the format is in scores/README.md).
#pragma once

#include "Synth.h"

#include "modwriter/ModWriter.h"
#include "modwriter/Song.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace composer::score {

// "FILE:LINE: message"
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Instrument {
    std::string name;
    std::string kind; // tone, pluck, fm, kick, snare, clap, hat, crash, metal, tom, shaker, noise
    int line = 0;
    std::map<std::string, double> num; // numeric keys as written
    synth::Wave wave = synth::Wave::Saw;
    std::optional<std::pair<double, double>> bright; // tone: start..end
    bool noColour = false;
    std::optional<synth::Colour> colour; // replaces the tune's
    // IT instrument
    std::optional<modwriter::Instrument::NewNoteAction> nna;
    std::vector<modwriter::EnvelopePoint> volumeEnvelope, panEnvelope, pitchEnvelope;
    int sustainPoint = -1;

    double get(const std::string& key, double fallback) const {
        const auto it = num.find(key);
        return it == num.end() ? fallback : it->second;
    }
};

struct Voice {
    std::string name;
    int instrument = 0; // 1-based; 0 = none
    int pan = 32;
    int volume = 64;
    int channels = 1;
    int firstChannel = 0;
};

// One thing a phrase writes on one row of one of its voice's channels.
struct Event {
    int row = 0;
    int channel = 0; // within the voice
    int note = modwriter::kNoteNone;
    int instrument = 0; // 1-based; 0 = the voice's own
    int volume = -1;
    char effect = 0;
    std::uint8_t param = 0;
    int line = 0;
};

struct Phrase {
    std::string name;
    int line = 0;
    int rows = 0;
    int channels = 1; // channels it needs
    bool notes = false;
    std::vector<Event> events;
};

struct Groove {
    std::string name;
    int line = 0;
    int rows = 0;
    struct Part {
        int voice;
        std::vector<Event> events;
    };
    std::vector<Part> parts;
};

struct Item {
    std::string name; // empty: a bar of nothing
    int transpose = 0;
    int percent = 100;
    int repeat = 1;
};

struct Placement {
    enum class Kind { Voice, Drums, Master } kind = Kind::Voice;
    int voice = -1;
    int line = 0;
    int rows = 0; // how long its items last
    std::vector<Item> items;
};

struct Section {
    std::string name;
    int line = 0;
    int rows = 0;
    std::vector<Placement> lines;
};

struct Score {
    std::string path;
    std::string title, file, key;
    int titleLine = 1, fileLine = 1, secondsLine = 1, orderLine = 1;
    modwriter::Format format = modwriter::Format::IT;
    int tempo = 125, speed = 6;
    int seconds = 0;
    double gainDb = 0;
    int barRows = 16, beatRows = 4;
    int swing = 0;
    synth::Colour colour;
    synth::MixEq eq;
    std::vector<Instrument> instruments;
    std::vector<Voice> voices;
    std::map<std::string, Phrase> phrases; // phrases and comps
    std::map<std::string, Groove> grooves;
    std::vector<Section> sections;
    std::vector<int> order; // indices into sections
    bool usesMaster = false;

    int channelCount() const;
    int rows() const;
    double rowSeconds() const { return 2.5 * speed / tempo; }
};

Score parse(const std::string& text, const std::string& path);
Score load(const std::filesystem::path& path);

} // namespace composer::score
