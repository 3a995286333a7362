// Time stamps for the whole-program benchmark (bench/run.sh): when VELSMOOR_BENCH_TRACE names a
// file, each load's duration and the moment the first non-silent buffer of each started module
// was rendered. The audio thread only reads the clock; the file is written by the controlling
// thread on its next call.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace bassmod {

class SoundTrace {
public:
    SoundTrace();
    ~SoundTrace();
    SoundTrace(const SoundTrace&) = delete;
    SoundTrace& operator=(const SoundTrace&) = delete;

    // Watch for the next audible buffer. Call with the output locked.
    void arm() noexcept { armed_ = on_; }
    // The audio thread, with the output locked: `frames` stereo frames just rendered.
    void rendered(const std::int16_t* interleaved, std::size_t frames) noexcept {
        if (armed_) check(interleaved, frames);
    }
    void loaded(std::int64_t nanoseconds);
    // Writes what the audio thread has stamped since the last call.
    void flush();

private:
    void check(const std::int16_t* interleaved, std::size_t frames) noexcept;
    void write(const char* event, std::int64_t value);

    int fd_ = -1;
    bool on_ = false;
    bool armed_ = false;
    std::atomic<std::int64_t> heardAt_{0};
};

} // namespace bassmod
