// Time spent rendering against the length of the audio rendered, over about the last second.
// add() and reset() come from whoever renders (serialised by the caller); percent() may be read
// from any thread at any time, lock-free.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace bassmod {

class CpuMeter {
public:
    void add(std::int64_t renderNanoseconds, std::uint64_t frames, std::uint32_t rate);
    void reset();
    float percent() const { return percent_.load(std::memory_order_relaxed); }

private:
    // Tenth-of-a-second slices, so the window does not depend on how big each render is.
    struct Slice {
        std::int64_t nanoseconds = 0;
        std::uint64_t frames = 0;
    };
    static constexpr std::size_t sliceCount = 10;
    std::array<Slice, sliceCount> slices_{};
    std::size_t current_ = 0;
    std::int64_t totalNanoseconds_ = 0;
    std::uint64_t totalFrames_ = 0;
    std::atomic<float> percent_{0.0f};
};

} // namespace bassmod
