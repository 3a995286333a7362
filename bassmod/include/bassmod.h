/* bassmod: the disk's module-music library. Seven C calls that load one tracker module at a time
 * and play it in the background on the default audio output. Every call reports failure through
 * its result (zero) and leaves the reason for BASSMOD_ErrorGetCode.
 * Threads: any thread may call any function at any time; calls run one at a time. */
#ifndef BASSMOD_H
#define BASSMOD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define BASSMOD_API __attribute__((visibility("default")))
#else
#define BASSMOD_API
#endif

/* Codes returned by BASSMOD_ErrorGetCode. */
#define BASSMOD_CODE_OK 0
#define BASSMOD_CODE_NO_MEMORY 1
#define BASSMOD_CODE_FILE_OPEN 2
#define BASSMOD_CODE_NO_DRIVER 3 /* no audio output could be opened */
#define BASSMOD_CODE_NO_MODULE 5 /* nothing is loaded */
#define BASSMOD_CODE_FORMAT 6    /* not a module, or too damaged to read */
#define BASSMOD_CODE_NOT_INITIALISED 8
#define BASSMOD_CODE_ALREADY_INITIALISED 14
#define BASSMOD_CODE_ILLEGAL_PARAMETER 20
#define BASSMOD_CODE_ILLEGAL_DEVICE 23
#define BASSMOD_CODE_UNKNOWN (-1)

/* BASSMOD_Init: the system's default output. */
#define BASSMOD_DEFAULT_DEVICE (-1)
/* Rates BASSMOD_Init accepts, in Hz; others give BASSMOD_CODE_ILLEGAL_PARAMETER. */
#define BASSMOD_MIN_RATE 8000u
#define BASSMOD_MAX_RATE 192000u

/* The largest module BASSMOD_MusicLoad takes, from a file or from memory; anything larger is
 * refused with BASSMOD_CODE_FORMAT before it is read. Real modules are a few MiB at most. */
#define BASSMOD_MAX_MODULE_BYTES (64u << 20)

/* BASSMOD_MusicLoad flag: surround mixing, rendered as doubled stereo separation (200 %),
 * which spreads the module's panned channels to the far left and right. Other flag bits are
 * ignored; a module always plays once to its end, then the output is silent. */
#define BASSMOD_LOAD_SURROUND 512u

/* Low 16 bits major, high 16 bits minor: 1.6. */
BASSMOD_API uint32_t BASSMOD_GetVersion(void);

/* Opens the audio output: device BASSMOD_DEFAULT_DEVICE or an output index from 0, `freq` in Hz,
 * 16-bit stereo. `flags` is unused. Nonzero on success; once per process. */
BASSMOD_API int32_t BASSMOD_Init(int32_t device, uint32_t freq, uint32_t flags);

/* Loads a module, freeing the one loaded before. mem == 0: `file` is a zero-terminated path in
 * the system's byte encoding, read from `offset` for `length` bytes (0 = to the end of the file).
 * mem != 0: `file` points at `length` bytes in memory (`offset` is added to it). Nonzero on
 * success; the module is then ready but silent until BASSMOD_MusicPlay. */
BASSMOD_API int32_t BASSMOD_MusicLoad(int32_t mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags);

/* Starts the loaded module from its beginning, in the background. Nonzero on success. */
BASSMOD_API int32_t BASSMOD_MusicPlay(void);

/* Stops and releases the loaded module; also succeeds when nothing is loaded. Once it returns,
 * the audio thread no longer touches the module. */
BASSMOD_API int32_t BASSMOD_MusicFree(void);

/* The code left by the calling thread's most recent other call (BASSMOD_CODE_OK after one that
 * succeeded); calls from other threads do not change it. */
BASSMOD_API int32_t BASSMOD_ErrorGetCode(void);

/* Share of one CPU, in percent, that mixing took over about the last second; 0 when nothing
 * plays. Cheap enough to call many times a second. */
BASSMOD_API float BASSMOD_GetCPU(void);

#ifdef __cplusplus
}
#endif

#endif
