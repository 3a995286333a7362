// Where rendered audio goes: the sound device, or a capture for tests. The output pulls
// 16-bit interleaved stereo frames from its source, on whatever thread it plays from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bassmod {

class AudioSource {
public:
    // Must fill all `frames` frames (silence when there is nothing to play). Runs with the
    // output locked.
    virtual void fill(std::int16_t* interleaved, std::size_t frames) noexcept = 0;
    // The output has stopped pulling for now (its device went away, or is being replaced)
    // without being closed; the next fill may come from another thread. Runs with the output
    // locked.
    virtual void interrupted() noexcept = 0;

protected:
    ~AudioSource() = default;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Starts pulling from `source` at `rate` Hz. Returns a BASSMOD_CODE_*; 0 when running.
    virtual std::int32_t open(std::int32_t device, std::uint32_t rate, AudioSource& source) = 0;
    // Stops pulling; when it returns the source is no longer called.
    virtual void close() = 0;

    // While locked, the source is not being called.
    virtual void lock() = 0;
    virtual void unlock() = 0;

    // What the sound server may show for the stream from now on: the title of what plays.
    // Outputs whose server shows no such name ignore it. Call with the output locked.
    virtual void retitle(const std::string& title) { (void)title; }
};

} // namespace bassmod
