// A stand-in for the module library whose answers are fixed when it is built, for testing the
// program against versions, failures and missing calls. Plays nothing. With FAKE_BASSMOD_LOG
// set, each call appends one line naming itself and its arguments to that file.
#include "bassmod.h"

#include <cstdio>
#include <cstdlib>

#ifndef FAKE_VERSION
#define FAKE_VERSION 0x00060001u
#endif
#ifndef FAKE_INIT_CODE
#define FAKE_INIT_CODE 0
#endif
#ifndef FAKE_LOAD_CODE
#define FAKE_LOAD_CODE 0
#endif
#ifndef FAKE_CPU
#define FAKE_CPU 0.25f
#endif

namespace {

int32_t lastCode = BASSMOD_CODE_OK;

template <typename... Args>
void logCall(const char* format, Args... args) {
    const char* path = std::getenv("FAKE_BASSMOD_LOG");
    if (path == nullptr || *path == '\0') return;
    if (std::FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, format, args...);
        std::fputc('\n', log);
        std::fclose(log);
    }
}

int32_t answer(int32_t code) {
    lastCode = code;
    return code == BASSMOD_CODE_OK ? 1 : 0;
}

} // namespace

extern "C" {

uint32_t BASSMOD_GetVersion(void) {
    logCall("GetVersion");
    lastCode = BASSMOD_CODE_OK;
    return FAKE_VERSION;
}

int32_t BASSMOD_Init(int32_t device, uint32_t freq, uint32_t flags) {
    logCall("Init %d %u %u", device, freq, flags);
    return answer(FAKE_INIT_CODE);
}

#ifndef FAKE_NO_LOAD
int32_t BASSMOD_MusicLoad(int32_t mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags) {
    if (mem == 0)
        logCall("MusicLoad %d %s %u %u %u", mem, file ? static_cast<const char*>(file) : "(null)", offset, length,
            flags);
    else logCall("MusicLoad %d (memory) %u %u %u", mem, offset, length, flags);
    return answer(FAKE_LOAD_CODE);
}
#endif

int32_t BASSMOD_MusicPlay(void) {
    logCall("MusicPlay");
    return answer(BASSMOD_CODE_OK);
}

int32_t BASSMOD_MusicFree(void) {
    logCall("MusicFree");
    return answer(BASSMOD_CODE_OK);
}

int32_t BASSMOD_ErrorGetCode(void) {
    logCall("ErrorGetCode");
    return lastCode;
}

#ifndef FAKE_NO_CPU
float BASSMOD_GetCPU(void) {
    logCall("GetCPU");
    lastCode = BASSMOD_CODE_OK;
    return FAKE_CPU;
}
#endif

} // extern "C"
