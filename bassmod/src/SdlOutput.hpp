// The sound device, through SDL2's audio subsystem alone, pulled on SDL's audio thread.
#pragma once

#include "AudioOutput.hpp"

#include <SDL_audio.h>

namespace bassmod {

class SdlOutput final : public AudioOutput {
public:
    ~SdlOutput() override;
    std::int32_t open(std::int32_t device, std::uint32_t rate, AudioSource& source) override;
    void close() override;
    void lock() override;
    void unlock() override;

    // About 46 ms a buffer at 44.1 kHz: half the wake-ups of 1024 frames, while a change of tune
    // still reaches the device within a buffer or two.
    static constexpr std::uint16_t bufferFrames = 2048;

private:
    static void SDLCALL callback(void* self, Uint8* stream, int bytes);

    SDL_AudioDeviceID device_ = 0;
    AudioSource* source_ = nullptr;
};

} // namespace bassmod
