// Shared helpers of the library's tests: reference renders straight from libopenmpt, the
// modules to play, scratch files and memory readings.
#pragma once

#include "TinyS3m.hpp"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace bassmod::test {

constexpr std::uint32_t rate = 44100;

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// libopenmpt's own render of the whole song (or its first `frames` frames), as the library is
// meant to play it: once, no fade, no dither.
inline std::vector<std::int16_t> referenceRender(const std::vector<std::uint8_t>& bytes, bool surround,
    std::size_t frames = 0) {
    openmpt::module module(bytes);
    module.ctl_set_text("play.at_end", "stop");
    module.ctl_set_integer("dither", 0);
    module.select_subsong(0);
    if (surround) module.set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT, 200);
    std::vector<std::int16_t> out;
    std::int16_t buffer[2 * 1024];
    while (frames == 0 || out.size() < 2 * frames) {
        const std::size_t got = module.read_interleaved_stereo(rate, 1024, buffer);
        if (got == 0) break;
        out.insert(out.end(), buffer, buffer + 2 * got);
    }
    if (frames != 0 && out.size() > 2 * frames) out.resize(2 * frames);
    return out;
}

inline int maxDifference(const std::int16_t* a, const std::int16_t* b, std::size_t samples) {
    int worst = 0;
    for (std::size_t i = 0; i < samples; ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

inline bool silent(const std::int16_t* samples, std::size_t count) {
    return std::all_of(samples, samples + count, [](std::int16_t s) { return s == 0; });
}

// Index of the first frame louder than `threshold`, or npos.
inline std::size_t firstLoudFrame(const std::int16_t* samples, std::size_t frames, int threshold = 0) {
    for (std::size_t f = 0; f < frames; ++f)
        if (std::abs(int(samples[2 * f])) > threshold || std::abs(int(samples[2 * f + 1])) > threshold) return f;
    return std::string::npos;
}

// A scratch folder of its own for each test process, removed with the object.
class ScratchDir {
public:
    ScratchDir()
        : path_(std::filesystem::temp_directory_path() /
                ("bassmod-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

// The disk's own modules when the build made them, in name order.
inline std::vector<std::filesystem::path> diskModules() {
    std::vector<std::filesystem::path> found;
#ifdef BASSMOD_TEST_MODS_DIR
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(BASSMOD_TEST_MODS_DIR, error)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".it" || ext == ".s3m") found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
#endif
    return found;
}

inline long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

} // namespace bassmod::test
