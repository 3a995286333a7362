#include "SoundTrace.hpp"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace bassmod {

namespace {

std::int64_t realtimeNanoseconds() noexcept {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

SoundTrace::SoundTrace() {
    const char* path = std::getenv("VELSMOOR_BENCH_TRACE");
    if (path && *path) fd_ = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    on_ = fd_ >= 0;
}

SoundTrace::~SoundTrace() {
    if (fd_ >= 0) ::close(fd_);
}

void SoundTrace::check(const std::int16_t* interleaved, std::size_t frames) noexcept {
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        if (interleaved[i] != 0) {
            heardAt_.store(realtimeNanoseconds(), std::memory_order_relaxed);
            armed_ = false;
            return;
        }
    }
}

void SoundTrace::loaded(std::int64_t nanoseconds) {
    if (on_) write("load-ns", nanoseconds);
}

void SoundTrace::flush() {
    if (!on_) return;
    if (const std::int64_t at = heardAt_.exchange(0, std::memory_order_relaxed); at != 0) write("sound", at);
}

void SoundTrace::write(const char* event, std::int64_t value) {
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%s %lld\n", event, static_cast<long long>(value));
    if (n > 0 && ::write(fd_, line, static_cast<std::size_t>(n)) < 0) {
        // The benchmark reports missing events itself.
    }
}

} // namespace bassmod
