// The seven operations of the library on one audio output: at most one module, played in the
// background by the output's thread. Every operation leaves its BASSMOD_CODE_* for errorCode().
// Operations must not overlap (the C entry points run them one at a time); the output pulls
// from its own thread.
#pragma once

#include "AudioOutput.hpp"
#include "CpuMeter.hpp"
#include "ModuleRenderer.hpp"
#include "SoundTrace.hpp"

#include <atomic>
#include <memory>

namespace bassmod {

class Player final : private AudioSource {
public:
    explicit Player(std::unique_ptr<AudioOutput> output);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    static constexpr std::uint32_t version = 1u | (6u << 16);

    bool init(std::int32_t device, std::uint32_t rate, std::uint32_t flags);
    bool load(bool fromMemory, const void* file, std::uint32_t offset, std::uint32_t length, std::uint32_t flags);
    bool play();
    bool free();
    float cpu() const {
        trace_.flush();
        return meter_.percent();
    }

    std::int32_t errorCode() const { return error_.load(std::memory_order_relaxed); }
    // For calls that fail outside the operations' own checks (an exception caught at the boundary).
    bool fail(std::int32_t code);
    bool succeed();

private:
    void fill(std::int16_t* interleaved, std::size_t frames) noexcept override;
    void interrupted() noexcept override;
    // Takes the module away from the audio thread; the caller destroys it outside the lock.
    std::unique_ptr<ModuleRenderer> detachModule();
    static void releaseFreedMemory();

    std::unique_ptr<AudioOutput> output_;
    bool initialised_ = false;
    std::uint32_t rate_ = 0;
    std::atomic<std::int32_t> error_{0};

    // Shared with the audio thread, which renders the module: changed only by the controlling
    // thread and only with the output locked.
    std::unique_ptr<ModuleRenderer> module_;
    bool playing_ = false;
    // The loaded module has not been played yet, so it is still at its start. The audio thread
    // only renders a playing module, so this one is the controlling thread's alone.
    bool unplayed_ = false;
    CpuMeter meter_;
    // The audio thread's CPU clock at the end of the last buffer it mixed; -1 when not playing.
    std::int64_t lastFillEnd_ = -1;
    mutable SoundTrace trace_;
};

} // namespace bassmod
