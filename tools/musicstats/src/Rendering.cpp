#include "Rendering.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace musicstats {

namespace {

// Small enough that a row at the fastest speed and tempo still shows up in the row list.
constexpr std::size_t kBlock = 256;

// Loader and player warnings go nowhere: a measuring tool has no use for them. The module keeps
// a reference to its log for as long as it lives, so the log lives in the same object, built first.
struct QuietLog {
    std::ostringstream log;
};

class QuietModule : private QuietLog, public openmpt::module_ext {
public:
    explicit QuietModule(const std::vector<std::uint8_t>& bytes) : QuietLog(), openmpt::module_ext(bytes, log) {}
};

} // namespace

std::vector<float> Rendering::mono() const {
    std::vector<float> out(frames());
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    return out;
}

std::vector<std::uint8_t> readModuleFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<openmpt::module_ext> loadModule(const std::vector<std::uint8_t>& bytes) {
    auto module = std::make_unique<QuietModule>(bytes);
    module->select_subsong(0);
    module->set_repeat_count(0);
    module->ctl_set_text("play.at_end", "stop");
    return module;
}

Rendering renderModule(openmpt::module& module, double maxSeconds) {
    Rendering r;
    const std::size_t limit = static_cast<std::size_t>(maxSeconds * kRate);
    std::vector<float> block(2 * kBlock);
    r.stereo.reserve(
        2 * std::min<std::size_t>(limit, static_cast<std::size_t>(module.get_duration_seconds() * kRate) + kRate));
    PlayedRow last{-1, -1, -1};
    while (true) {
        if (r.frames() >= limit) {
            r.truncated = true;
            break;
        }
        const PlayedRow now{module.get_current_order(), module.get_current_pattern(), module.get_current_row()};
        const std::size_t frames = module.read_interleaved_stereo(kRate, kBlock, block.data());
        // After the end the position may already point back at the start: only rows that sounded count.
        if (frames == 0) break;
        if (now.order != last.order || now.row != last.row || now.pattern != last.pattern) {
            r.rows.push_back(now);
            last = now;
        }
        r.stereo.insert(r.stereo.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(2 * frames));
    }
    return r;
}

} // namespace musicstats
