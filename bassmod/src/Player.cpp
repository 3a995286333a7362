#include "Player.hpp"

#include "bassmod.h"

#include <libopenmpt/libopenmpt.hpp>

#include <chrono>
#include <cstring>
#include <ctime>
#include <new>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bassmod {

namespace {

class OutputLock {
public:
    explicit OutputLock(AudioOutput& output) : output_(output) { output_.lock(); }
    ~OutputLock() { output_.unlock(); }
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

private:
    AudioOutput& output_;
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// How many bytes a load of `fileSize` bytes from `offset` takes. Returns a BASSMOD_CODE_*.
std::int32_t wantedBytes(std::uint64_t fileSize, std::uint32_t offset, std::uint32_t length, std::uint64_t& wanted) {
    if (offset >= fileSize) return BASSMOD_CODE_FORMAT;
    wanted = fileSize - offset;
    if (length != 0 && length < wanted) wanted = length;
    // Refused before a byte is read: nothing this large is a module.
    return wanted > BASSMOD_MAX_MODULE_BYTES ? BASSMOD_CODE_FORMAT : BASSMOD_CODE_OK;
}

// Reads `length` bytes (0 = all) from `offset` of the regular file at `path`. Returns a
// BASSMOD_CODE_*.
std::int32_t readFile(const char* path, std::uint32_t offset, std::uint32_t length, std::vector<std::uint8_t>& bytes) {
    // Only a regular file is opened: opening a FIFO would wait for a writer, a device may never
    // end. Non-blocking, in case the path is swapped for one of those after the check.
    struct stat info {};
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return BASSMOD_CODE_FILE_OPEN;
    const FileDescriptor fd(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return BASSMOD_CODE_FILE_OPEN;
    std::uint64_t wanted = 0;
    if (const std::int32_t code = wantedBytes(static_cast<std::uint64_t>(info.st_size), offset, length, wanted);
        code != BASSMOD_CODE_OK)
        return code;
    bytes.resize(static_cast<std::size_t>(wanted));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(fd.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (got < 0) return BASSMOD_CODE_FILE_OPEN;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return BASSMOD_CODE_OK;
}

std::int64_t threadCpuNanoseconds() noexcept {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

Player::Player(std::unique_ptr<AudioOutput> output) : output_(std::move(output)) {}

Player::~Player() {
    if (initialised_) output_->close();
}

bool Player::fail(std::int32_t code) {
    error_.store(code, std::memory_order_relaxed);
    return false;
}

bool Player::succeed() {
    error_.store(BASSMOD_CODE_OK, std::memory_order_relaxed);
    return true;
}

bool Player::init(std::int32_t device, std::uint32_t rate, std::uint32_t) {
    if (initialised_) return fail(BASSMOD_CODE_ALREADY_INITIALISED);
    if (rate < BASSMOD_MIN_RATE || rate > BASSMOD_MAX_RATE) return fail(BASSMOD_CODE_ILLEGAL_PARAMETER);
    rate_ = rate;
    if (const std::int32_t code = output_->open(device, rate, *this); code != BASSMOD_CODE_OK) return fail(code);
    initialised_ = true;
    return succeed();
}

bool Player::load(bool fromMemory, const void* file, std::uint32_t offset, std::uint32_t length, std::uint32_t flags) {
    if (!initialised_) return fail(BASSMOD_CODE_NOT_INITIALISED);
    if (file == nullptr || (fromMemory && length == 0)) return fail(BASSMOD_CODE_ILLEGAL_PARAMETER);
    detachModule().reset();

    try {
        const auto started = std::chrono::steady_clock::now();
        // The one copy of the module's bytes, parsed here and kept for replays.
        auto bytes = std::make_shared<std::vector<std::uint8_t>>();
        if (fromMemory) {
            if (length > BASSMOD_MAX_MODULE_BYTES) return fail(BASSMOD_CODE_FORMAT);
            const auto* data = static_cast<const std::uint8_t*>(file) + offset;
            bytes->assign(data, data + length);
        } else if (const std::int32_t code = readFile(static_cast<const char*>(file), offset, length, *bytes);
                   code != BASSMOD_CODE_OK) {
            return fail(code);
        }
        auto module = std::make_unique<ModuleRenderer>(std::move(bytes), (flags & BASSMOD_LOAD_SURROUND) != 0);
        trace_.loaded(
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started).count());
        const OutputLock lock(*output_);
        module_ = std::move(module);
        playing_ = false;
        unplayed_ = true;
    } catch (const std::bad_alloc&) {
        return fail(BASSMOD_CODE_NO_MEMORY);
    } catch (const openmpt::exception&) {
        return fail(BASSMOD_CODE_FORMAT);
    }
    return succeed();
}

bool Player::play() {
    if (!initialised_) return fail(BASSMOD_CODE_NOT_INITIALISED);
    // Only this thread ever replaces module_, so reading the pointer needs no lock.
    if (!module_) return fail(BASSMOD_CODE_NO_MODULE);
    try {
        // A module not played since it was loaded is still at its start; only a replay needs
        // the module built again.
        std::unique_ptr<ModuleRenderer> fresh = unplayed_ ? nullptr : module_->restarted();
        {
            const OutputLock lock(*output_);
            if (fresh) module_.swap(fresh);
            output_->retitle(module_->title());
            unplayed_ = false;
            meter_.reset();
            trace_.arm();
            playing_ = true;
        }
    } catch (const std::bad_alloc&) {
        return fail(BASSMOD_CODE_NO_MEMORY);
    }
    releaseFreedMemory();
    return succeed();
}

bool Player::free() {
    detachModule().reset();
    releaseFreedMemory();
    return succeed();
}

// A module's samples are freed in pieces among longer-lived allocations; without a trim the
// heap keeps their pages and the program grows a little with every change of tune.
void Player::releaseFreedMemory() { ::malloc_trim(0); }

std::unique_ptr<ModuleRenderer> Player::detachModule() {
    if (!initialised_) return nullptr;
    const OutputLock lock(*output_);
    playing_ = false;
    meter_.reset();
    return std::move(module_);
}

// Whatever the output did meanwhile is no cost of mixing, and the module stays where it was:
// nobody heard it go on.
void Player::interrupted() noexcept {
    meter_.reset();
    lastFillEnd_ = -1;
}

void Player::fill(std::int16_t* interleaved, std::size_t frames) noexcept {
    std::size_t rendered = 0;
    if (playing_) {
        const std::int64_t start = threadCpuNanoseconds();
        try {
            rendered = module_->render(rate_, interleaved, frames);
        } catch (...) {
            // A module that breaks while mixing ends there rather than taking the host down.
            rendered = 0;
        }
        const std::int64_t end = threadCpuNanoseconds();
        if (rendered == 0) {
            playing_ = false;
            meter_.reset();
        } else {
            // The thread's CPU time, not the clock's: a busy machine that takes the thread away
            // does not make mixing dearer. What the output thread did since the last buffer
            // (waiting for the device, waking up) is part of what playing costs.
            meter_.add(end - (lastFillEnd_ >= 0 ? lastFillEnd_ : start), frames, rate_);
            trace_.rendered(interleaved, rendered);
        }
        lastFillEnd_ = playing_ ? end : -1;
    } else {
        lastFillEnd_ = -1;
    }
    std::memset(interleaved + 2 * rendered, 0, (frames - rendered) * 2 * sizeof(std::int16_t));
}

} // namespace bassmod
