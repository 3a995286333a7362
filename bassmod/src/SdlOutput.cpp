#include "SdlOutput.hpp"

#include "bassmod.h"

#include <SDL.h>

#include <cstring>
#include <system_error>
#include <utility>

namespace bassmod {

SdlOutput::~SdlOutput() { close(); }

std::int32_t SdlOutput::open(std::int32_t device, std::uint32_t rate, AudioSource& source) {
    if (opened_) return BASSMOD_CODE_ALREADY_INITIALISED;
    // SDL would otherwise swallow SIGINT and SIGTERM, and the host program would not end on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return BASSMOD_CODE_NO_DRIVER;

    std::string name;
    if (device != BASSMOD_DEFAULT_DEVICE) {
        if (device < 0 || device >= SDL_GetNumAudioDevices(0)) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return BASSMOD_CODE_ILLEGAL_DEVICE;
        }
        if (const char* found = SDL_GetAudioDeviceName(device, 0)) name = found;
    }

    rate_ = rate;
    source_ = &source;
    auto stream = std::make_unique<Stream>(this);
    if (!openDevice(*stream, name, {})) {
        source_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return BASSMOD_CODE_NO_DRIVER;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    const bool pipewire = driver != nullptr && std::strcmp(driver, "pipewire") == 0;
    titled_ = pipewire || (driver != nullptr && std::strcmp(driver, "pulseaudio") == 0);
    // Elsewhere a stalled thread may be stuck inside the server, and closing its device would
    // wait for it.
    reopensStalled_ = pipewire;
    name_ = name;
    opened_ = true;
    stopping_ = false;
    wantedTitle_.clear();
    start(std::move(stream), {});
    try {
        keeper_ = std::thread([this] { keep(); });
    } catch (const std::system_error&) {
        // Plays all the same; only a lost device stays lost.
    }
    return BASSMOD_CODE_OK;
}

void SdlOutput::close() {
    if (!opened_) return;
    {
        const std::lock_guard guard(keeperMutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (keeper_.joinable()) keeper_.join();
    stop();
    source_ = nullptr;
    opened_ = false;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlOutput::lock() { sourceMutex_.lock(); }

void SdlOutput::unlock() { sourceMutex_.unlock(); }

void SdlOutput::retitle(const std::string& title) {
    // With nobody to open the new stream the old one plays on under its old name.
    if (!titled_ || !keeper_.joinable()) return;
    {
        const std::lock_guard guard(keeperMutex_);
        if (title == wantedTitle_) return;
        wantedTitle_ = title;
        holding_ = wantedTitle_ != openTitle_;
    }
    wake_.notify_one();
}

bool SdlOutput::openDevice(Stream& stream, const std::string& name, const std::string& title) {
    // An override, so that it wins over a name the host program gave through the environment;
    // with no title the host's name (or SDL's own) comes back.
    if (title.empty()) SDL_ResetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME);
    else SDL_SetHintWithPriority(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, title.c_str(), SDL_HINT_OVERRIDE);

    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(rate_);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = bufferFrames;
    wanted.callback = &SdlOutput::callback;
    wanted.userdata = &stream;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts for the device, so the source always sees exactly `rate`.
    // A device opens paused: nothing calls back before start().
    stream.device = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &wanted, &obtained, 0);
    return stream.device != 0;
}

void SdlOutput::start(std::unique_ptr<Stream> stream, const std::string& title) {
    const SDL_AudioDeviceID device = stream->device;
    std::unique_ptr<Stream> previous;
    {
        const std::lock_guard source(sourceMutex_);
        const std::lock_guard guard(keeperMutex_);
        // From here on the device it replaces (if any) is no longer pulled, and the next fill
        // comes from another thread.
        source_->interrupted();
        previous = std::exchange(stream_, std::move(stream));
        device_.store(device);
        openTitle_ = title;
        holding_ = wantedTitle_ != openTitle_;
    }
    lastCallback_.store(Clock::now().time_since_epoch().count());
    SDL_PauseAudioDevice(device, 0);
    // Closed only now, so that the new stream did not wait for the old one's thread.
    if (previous) SDL_CloseAudioDevice(previous->device);
}

void SdlOutput::stop() {
    std::unique_ptr<Stream> previous;
    {
        const std::lock_guard source(sourceMutex_);
        if (source_ != nullptr) source_->interrupted();
        previous = std::move(stream_);
        device_.store(0);
    }
    if (previous) SDL_CloseAudioDevice(previous->device);
}

void SdlOutput::keep() {
    Clock::time_point nextAttempt = Clock::now();
    std::unique_lock guard(keeperMutex_);
    while (!stopping_) {
        wake_.wait_for(guard, watchInterval);
        if (stopping_) break;
        const std::string title = wantedTitle_;
        guard.unlock();
        look(title, nextAttempt);
        guard.lock();
    }
}

void SdlOutput::look(const std::string& title, Clock::time_point& nextAttempt) {
    const Clock::time_point now = Clock::now();
    const SDL_AudioDeviceID device = device_.load();
    const bool stalled = now - Clock::time_point(Clock::duration(lastCallback_.load())) > stallLimit;
    // A device whose server went away is stopped by SDL, which then goes on calling back in
    // real time into a buffer nobody hears. SDL's PipeWire output is never stopped: its calls
    // just end with the server.
    const bool lost =
        device == 0 || SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED || (stalled && reopensStalled_);
    const bool renamed = titled_ && title != openTitle_;
    if (!lost && !renamed) {
        if (stalled) {
            const std::lock_guard guard(sourceMutex_);
            source_->interrupted();
        }
        return;
    }
    if (lost) {
        if (device != 0) stop();
        if (now < nextAttempt) return;
        // The device that went away may not come back, or under another name: the system's
        // default is where the server puts sound now.
        name_.clear();
    }
    auto stream = std::make_unique<Stream>(this);
    if (openDevice(*stream, name_, title)) {
        start(std::move(stream), title);
        return;
    }
    nextAttempt = Clock::now() + retryInterval;
    if (!lost) {
        // The old stream plays on under its old name rather than trying again and again.
        const std::lock_guard source(sourceMutex_);
        const std::lock_guard guard(keeperMutex_);
        openTitle_ = title;
        holding_ = wantedTitle_ != openTitle_;
    }
}

void SDLCALL SdlOutput::callback(void* self, Uint8* samples, int bytes) {
    const auto* stream = static_cast<const Stream*>(self);
    SdlOutput* output = stream->output;
    const SDL_AudioDeviceID device = stream->device.load();
    const std::lock_guard guard(output->sourceMutex_);
    const bool current = device == output->device_.load();
    if (current) output->lastCallback_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    // Nothing is pulled that nobody would hear: the module waits where it is.
    if (!current || output->holding_ || SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_PLAYING) {
        std::memset(samples, 0, static_cast<std::size_t>(bytes));
        return;
    }
    output->source_->fill(reinterpret_cast<std::int16_t*>(samples),
        static_cast<std::size_t>(bytes) / (2 * sizeof(std::int16_t)));
}

} // namespace bassmod
