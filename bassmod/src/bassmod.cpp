// The C entry points: one process-wide player on the SDL output. Nothing thrown gets past here.
#include "bassmod.h"

#include "Player.hpp"
#include "SdlOutput.hpp"

#include <new>

namespace {

bassmod::Player& player()
{
    // Destroyed at exit before the libraries it uses, which closes the device and joins
    // SDL's audio thread while the module can still be touched.
    static bassmod::Player instance(std::make_unique<bassmod::SdlOutput>());
    return instance;
}

template <typename Call>
int32_t guarded(Call call)
{
    try {
        return call() ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return player().fail(BASSMOD_CODE_NO_MEMORY) ? 1 : 0;
    } catch (...) {
        return player().fail(BASSMOD_CODE_UNKNOWN) ? 1 : 0;
    }
}

} // namespace

extern "C" {

uint32_t BASSMOD_GetVersion(void)
{
    try {
        player().succeed();
    } catch (...) {
    }
    return bassmod::Player::version;
}

int32_t BASSMOD_Init(int32_t device, uint32_t freq, uint32_t flags)
{
    return guarded([&] { return player().init(device, freq, flags); });
}

int32_t BASSMOD_MusicLoad(int32_t mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags)
{
    return guarded([&] { return player().load(mem != 0, file, offset, length, flags); });
}

int32_t BASSMOD_MusicPlay(void)
{
    return guarded([] { return player().play(); });
}

int32_t BASSMOD_MusicFree(void)
{
    return guarded([] { return player().free(); });
}

int32_t BASSMOD_ErrorGetCode(void)
{
    try {
        return player().errorCode();
    } catch (...) {
        return BASSMOD_CODE_UNKNOWN;
    }
}

float BASSMOD_GetCPU(void)
{
    try {
        bassmod::Player& p = player();
        p.succeed();
        return p.cpu();
    } catch (...) {
        return 0.0f;
    }
}

} // extern "C"
