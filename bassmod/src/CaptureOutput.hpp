// An output with no device: the audio is pulled by calling pull(), on the caller's thread, so
// tests and benchmarks get the library's exact samples as fast as it can render them.
#pragma once

#include "AudioOutput.hpp"

#include <mutex>
#include <vector>

namespace bassmod {

class CaptureOutput final : public AudioOutput {
public:
    // `openResult` is what open() answers, to stand in for a failing device.
    explicit CaptureOutput(std::int32_t openResult = 0) : openResult_(openResult) {}

    std::int32_t open(std::int32_t device, std::uint32_t rate, AudioSource& source) override;
    void close() override;
    void lock() override { mutex_.lock(); }
    void unlock() override { mutex_.unlock(); }
    void retitle(const std::string& title) override { title_ = title; }

    // Stands in for a device that goes away and comes back: the source is told it was not pulled.
    void interrupt();
    // The title the source last gave; empty before any.
    std::string title() const { return title_; }

    // Renders `frames` frames from the source; empty when not open.
    std::vector<std::int16_t> pull(std::size_t frames);
    // The same into a caller's buffer of 2 * frames samples; false when not open.
    bool pullInto(std::int16_t* interleaved, std::size_t frames);

    std::uint32_t rate() const { return rate_; }

private:
    std::int32_t openResult_;
    std::mutex mutex_;
    AudioSource* source_ = nullptr;
    std::uint32_t rate_ = 0;
    std::string title_;
};

} // namespace bassmod
