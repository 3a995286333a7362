#include "CpuMeter.hpp"

namespace bassmod {

void CpuMeter::add(std::int64_t renderNanoseconds, std::uint64_t frames, std::uint32_t rate) {
    if (rate == 0) return;
    const std::uint64_t sliceFrames = rate / sliceCount;
    if (slices_[current_].frames >= sliceFrames) {
        current_ = (current_ + 1) % sliceCount;
        totalNanoseconds_ -= slices_[current_].nanoseconds;
        totalFrames_ -= slices_[current_].frames;
        slices_[current_] = {};
    }
    slices_[current_].nanoseconds += renderNanoseconds;
    slices_[current_].frames += frames;
    totalNanoseconds_ += renderNanoseconds;
    totalFrames_ += frames;
    if (totalFrames_ == 0) return;
    const double audioNanoseconds = static_cast<double>(totalFrames_) * 1e9 / rate;
    percent_.store(static_cast<float>(static_cast<double>(totalNanoseconds_) / audioNanoseconds * 100.0),
        std::memory_order_relaxed);
}

void CpuMeter::reset() {
    slices_.fill({});
    current_ = 0;
    totalNanoseconds_ = 0;
    totalFrames_ = 0;
    percent_.store(0.0f, std::memory_order_relaxed);
}

} // namespace bassmod
