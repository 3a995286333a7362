// Plays a module once through libopenmpt and keeps the sound and the rows it played.
#pragma once

#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace musicstats {

constexpr int kRate = 44100;

// One row as the player reached it.
struct PlayedRow {
    int order = 0;
    int pattern = 0;
    int row = 0;
};

struct Rendering {
    std::vector<float> stereo;   // interleaved left/right at kRate
    std::vector<PlayedRow> rows; // in playing order; a row looped twice appears twice
    bool truncated = false;      // stopped at the length cap before the song ended

    std::size_t frames() const { return stereo.size() / 2; }
    double seconds() const { return static_cast<double>(frames()) / kRate; }
    std::vector<float> mono() const;
};

// Throws std::runtime_error for unreadable files.
std::vector<std::uint8_t> readModuleFile(const std::filesystem::path& path);

// Subsong 0, no repeats, stopping at the end. Throws openmpt::exception on bad input.
std::unique_ptr<openmpt::module_ext> loadModule(const std::vector<std::uint8_t>& bytes);

// Subsong 0, no repeats, stopping at the song's end or after maxSeconds.
Rendering renderModule(openmpt::module& module, double maxSeconds);

} // namespace musicstats
