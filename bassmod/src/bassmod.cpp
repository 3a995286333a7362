// The C entry points: one process-wide player on the SDL output. Nothing thrown gets past here.
// Each call holds one lock for its whole length, so callers on different threads take turns;
// the audio thread never takes it, so it cannot deadlock with the output's own lock.
#include "bassmod.h"

#include "Player.hpp"
#include "SdlOutput.hpp"

#include <mutex>
#include <new>

namespace {

bassmod::Player& player() {
    // Destroyed at exit before the libraries it uses, which closes the device and joins
    // SDL's audio thread while the module can still be touched.
    static bassmod::Player instance(std::make_unique<bassmod::SdlOutput>());
    return instance;
}

std::mutex callLock;
// Each thread reads the code of its own last call, whatever other threads called since.
thread_local int32_t lastCode = BASSMOD_CODE_OK;

// Runs one call alone, keeps its code for this thread and turns its result into 1 or 0.
template <typename Call>
int32_t guarded(Call call) {
    try {
        const std::lock_guard lock(callLock);
        bassmod::Player& p = player();
        int32_t result = 0;
        try {
            result = call(p) ? 1 : 0;
        } catch (const std::bad_alloc&) {
            p.fail(BASSMOD_CODE_NO_MEMORY);
        } catch (...) {
            p.fail(BASSMOD_CODE_UNKNOWN);
        }
        lastCode = p.errorCode();
        return result;
    } catch (...) {
        // The player itself could not be made.
        lastCode = BASSMOD_CODE_UNKNOWN;
        return 0;
    }
}

} // namespace

extern "C" {

uint32_t BASSMOD_GetVersion(void) {
    guarded([](bassmod::Player& p) { return p.succeed(); });
    return bassmod::Player::version;
}

int32_t BASSMOD_Init(int32_t device, uint32_t freq, uint32_t flags) {
    return guarded([&](bassmod::Player& p) { return p.init(device, freq, flags); });
}

int32_t BASSMOD_MusicLoad(int32_t mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags) {
    return guarded([&](bassmod::Player& p) { return p.load(mem != 0, file, offset, length, flags); });
}

int32_t BASSMOD_MusicPlay(void) {
    return guarded([](bassmod::Player& p) { return p.play(); });
}

int32_t BASSMOD_MusicFree(void) {
    return guarded([](bassmod::Player& p) { return p.free(); });
}

int32_t BASSMOD_ErrorGetCode(void) { return lastCode; }

float BASSMOD_GetCPU(void) {
    float percent = 0.0f;
    guarded([&](bassmod::Player& p) {
        percent = p.cpu();
        return p.succeed();
    });
    return percent;
}

} // extern "C"
