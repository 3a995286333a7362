#include "SdlOutput.hpp"

#include "bassmod.h"

#include <SDL.h>

namespace bassmod {

SdlOutput::~SdlOutput()
{
    close();
}

std::int32_t SdlOutput::open(std::int32_t device, std::uint32_t rate, AudioSource& source)
{
    if (device_ != 0)
        return BASSMOD_CODE_ALREADY_INITIALISED;
    // SDL would otherwise swallow SIGINT and SIGTERM, and the host program would not end on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return BASSMOD_CODE_NO_DRIVER;

    const char* name = nullptr;
    if (device != BASSMOD_DEFAULT_DEVICE) {
        if (device < 0 || device >= SDL_GetNumAudioDevices(0)) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return BASSMOD_CODE_ILLEGAL_DEVICE;
        }
        name = SDL_GetAudioDeviceName(device, 0);
    }

    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(rate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = bufferFrames;
    wanted.callback = &SdlOutput::callback;
    wanted.userdata = this;
    source_ = &source;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts for the device, so the source always sees exactly `rate`.
    device_ = SDL_OpenAudioDevice(name, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
        source_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return BASSMOD_CODE_NO_DRIVER;
    }
    SDL_PauseAudioDevice(device_, 0);
    return BASSMOD_CODE_OK;
}

void SdlOutput::close()
{
    if (device_ == 0)
        return;
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    source_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlOutput::lock()
{
    if (device_ != 0)
        SDL_LockAudioDevice(device_);
}

void SdlOutput::unlock()
{
    if (device_ != 0)
        SDL_UnlockAudioDevice(device_);
}

void SDLCALL SdlOutput::callback(void* self, Uint8* stream, int bytes)
{
    auto* output = static_cast<SdlOutput*>(self);
    output->source_->fill(reinterpret_cast<std::int16_t*>(stream),
                          static_cast<std::size_t>(bytes) / (2 * sizeof(std::int16_t)));
}

} // namespace bassmod
