// The sound device, through SDL2's audio subsystem alone, pulled on SDL's audio thread. A keeper
// thread of its own watches the device: when the sound server goes away it opens the default
// device again as soon as the server is back, and where the server shows the stream's name it
// opens a new stream for a new title. The controlling thread never waits for the server.
#pragma once

#include "AudioOutput.hpp"

#include <SDL_audio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace bassmod {

class SdlOutput final : public AudioOutput {
public:
    ~SdlOutput() override;
    std::int32_t open(std::int32_t device, std::uint32_t rate, AudioSource& source) override;
    void close() override;
    void lock() override;
    void unlock() override;
    void retitle(const std::string& title) override;

    // About 46 ms a buffer at 44.1 kHz: half the wake-ups of 1024 frames, while a change of tune
    // still reaches the device within a buffer or two.
    static constexpr std::uint16_t bufferFrames = 2048;
    // How often the keeper looks at the device; a lost one is noticed within this. Rare enough
    // to cost the idle machine little next to the audio thread's own 22 wake-ups a second.
    static constexpr std::chrono::milliseconds watchInterval{250};
    // Between two attempts to open a device while the server is away.
    static constexpr std::chrono::milliseconds retryInterval{250};
    // An audio thread that has not called back for this long is stuck in a server that does
    // not answer: nothing is being mixed, whatever the device's status says.
    static constexpr std::chrono::milliseconds stallLimit{1000};

private:
    using Clock = std::chrono::steady_clock;

    // What each device's callback is handed: for a while two devices may call back, the one
    // going and the one replacing it, and only the current one is pulled.
    struct Stream {
        explicit Stream(SdlOutput* owner) : output(owner) {}
        SdlOutput* output;
        std::atomic<SDL_AudioDeviceID> device{0};
    };

    static void SDLCALL callback(void* self, Uint8* stream, int bytes);
    // Opens a device for `stream` with the title as its name, paused.
    bool openDevice(Stream& stream, const std::string& name, const std::string& title);
    // Makes `stream` the one pulled, and starts it.
    void start(std::unique_ptr<Stream> stream, const std::string& title);
    // Closes the current device; the source is no longer pulled.
    void stop();
    void keep();
    void look(const std::string& title, Clock::time_point& nextAttempt);

    bool opened_ = false;
    std::uint32_t rate_ = 0;
    // The device asked for at open; empty for the default one, which is also what a lost
    // device is replaced by.
    std::string name_;
    // Whether the driver hands the stream's name to a sound server that shows it.
    bool titled_ = false;
    // Whether an audio thread that has stopped calling back means the device is gone.
    bool reopensStalled_ = false;
    // The current one. Written by the keeper (and open/close) with the source locked.
    std::unique_ptr<Stream> stream_;
    // Its device, or 0; read by the audio threads.
    std::atomic<SDL_AudioDeviceID> device_{0};
    std::atomic<Clock::rep> lastCallback_{0};

    // Taken by the audio thread around every touch of the source, and by lock(): it never
    // depends on a device being there.
    std::mutex sourceMutex_;
    AudioSource* source_ = nullptr;
    // A new title is waiting for its stream: the source is not pulled until that is open, so
    // what plays next starts on the new stream from its first frame.
    bool holding_ = false;

    // Order: sourceMutex_ before keeperMutex_.
    std::mutex keeperMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::string wantedTitle_;
    std::string openTitle_;
    std::thread keeper_;
};

} // namespace bassmod
