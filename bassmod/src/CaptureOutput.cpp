#include "CaptureOutput.hpp"

namespace bassmod {

std::int32_t CaptureOutput::open(std::int32_t, std::uint32_t rate, AudioSource& source) {
    if (openResult_ != 0) return openResult_;
    std::lock_guard guard(mutex_);
    source_ = &source;
    rate_ = rate;
    return 0;
}

void CaptureOutput::close() {
    std::lock_guard guard(mutex_);
    source_ = nullptr;
}

void CaptureOutput::interrupt() {
    std::lock_guard guard(mutex_);
    if (source_ != nullptr) source_->interrupted();
}

std::vector<std::int16_t> CaptureOutput::pull(std::size_t frames) {
    std::vector<std::int16_t> samples(2 * frames);
    if (!pullInto(samples.data(), frames)) samples.clear();
    return samples;
}

bool CaptureOutput::pullInto(std::int16_t* interleaved, std::size_t frames) {
    std::lock_guard guard(mutex_);
    if (source_ == nullptr) return false;
    source_->fill(interleaved, frames);
    return true;
}

} // namespace bassmod
