/* A module library file that answers with fixed values; built once whole and once without
   BASSMOD_MusicLoad (STUB_NO_LOAD). */
#include <stdint.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

EXPORT uint32_t BASSMOD_GetVersion(void) { return 0x00060001u; }

EXPORT int32_t BASSMOD_Init(int32_t device, uint32_t freq, uint32_t flags) {
    return device == -1 && freq == 44100u && flags == 0u;
}

#ifndef STUB_NO_LOAD
EXPORT int32_t BASSMOD_MusicLoad(int32_t mem, const void* file, uint32_t offset, uint32_t length,
                                 uint32_t flags) {
    return mem == 0 && strcmp((const char*)file, "mods/STUB.IT") == 0 && offset == 0u &&
           length == 0u && flags == 512u;
}
#endif

EXPORT int32_t BASSMOD_MusicPlay(void) { return 1; }
EXPORT int32_t BASSMOD_MusicFree(void) { return 1; }
EXPORT int32_t BASSMOD_ErrorGetCode(void) { return -7; }
EXPORT float BASSMOD_GetCPU(void) { return 1.5f; }
