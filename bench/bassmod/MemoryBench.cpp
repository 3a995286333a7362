// Memory of the shared library through its C calls, on SDL's dummy driver (real-time pacing):
//   bench_bassmod_memory cycles [count=10000] [every=1000]   load/play/free with the disk's tunes,
//                                                           resident size and heap in use every
//                                                           `every` cycles
//   bench_bassmod_memory peak FILE...                        peak resident size while loading each
#include "ProcStatus.hpp"
#include "bassmod.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <malloc.h>

namespace {

// Bytes the heap has handed out and not had back, in KiB: what a leak would grow, unlike the
// resident size, which also holds freed memory the allocator keeps for later.
long heapInUseKib() { return static_cast<long>(mallinfo2().uordblks / 1024); }

// Lets VmHWM start again from the current resident size.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::vector<std::filesystem::path> diskTunes() {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(BASSMOD_BENCH_MODS_DIR, error))
        if (entry.is_regular_file()) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

// Waits until the audio thread has mixed some of the playing module (the CPU reading turns
// positive after its first mixed buffer), so every cycle really plays.
bool heardSomething() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (BASSMOD_GetCPU() == 0.0f) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

int cycles(long count, long every) {
    const auto tunes = diskTunes();
    if (tunes.empty()) {
        std::fprintf(stderr, "no tunes in %s (build the mods target)\n", BASSMOD_BENCH_MODS_DIR);
        return 1;
    }
    const long startKib = procStatusKib("VmRSS");
    const long startHeapKib = heapInUseKib();
    std::printf("cycles  rss_kib  growth_kib  heap_in_use_kib  (%zu tunes)\n", tunes.size());
    std::printf("%6d  %7ld  %10d  %15ld\n", 0, startKib, 0, startHeapKib);
    long silent = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 1; i <= count; ++i) {
        const auto& tune = tunes[static_cast<std::size_t>(i) % tunes.size()];
        if (BASSMOD_MusicLoad(0, tune.c_str(), 0, 0, BASSMOD_LOAD_SURROUND) == 0 || BASSMOD_MusicPlay() == 0) {
            std::fprintf(stderr, "%s: code %d\n", tune.c_str(), BASSMOD_ErrorGetCode());
            return 1;
        }
        silent += heardSomething() ? 0 : 1;
        BASSMOD_MusicFree();
        if (i % every == 0) {
            const long now = procStatusKib("VmRSS");
            std::printf("%6ld  %7ld  %10ld  %15ld\n", i, now, now - startKib, heapInUseKib());
            std::fflush(stdout);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("peak %ld KiB, %.1f s, %ld cycles never mixed\n", procStatusKib("VmHWM"), seconds, silent);
    return 0;
}

int peaks(int argc, char** argv) {
    std::printf("file  size_kib  result  code  load_ms  rss_before_kib  peak_kib  peak_growth_kib\n");
    for (int i = 0; i < argc; ++i) {
        std::error_code error;
        const auto size = std::filesystem::file_size(argv[i], error);
        BASSMOD_MusicFree();
        const long before = procStatusKib("VmRSS");
        resetPeak();
        const auto start = std::chrono::steady_clock::now();
        const int32_t result = BASSMOD_MusicLoad(0, argv[i], 0, 0, BASSMOD_LOAD_SURROUND);
        const int32_t code = BASSMOD_ErrorGetCode();
        if (result != 0) BASSMOD_MusicPlay();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const long peak = procStatusKib("VmHWM");
        std::printf("%s  %ld  %d  %d  %.1f  %ld  %ld  %ld\n", argv[i], error ? -1L : long(size / 1024), result, code,
            ms, before, peak, peak - before);
    }
    BASSMOD_MusicFree();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string mode = argc > 1 ? argv[1] : "cycles";
    if (mode != "cycles" && mode != "peak") {
        std::fprintf(stderr, "usage: %s cycles [count] [every] | peak FILE...\n", argv[0]);
        return 2;
    }
    if (BASSMOD_Init(BASSMOD_DEFAULT_DEVICE, 44100, 0) == 0) {
        std::fprintf(stderr, "BASSMOD_Init failed: code %d\n", BASSMOD_ErrorGetCode());
        return 1;
    }
    if (mode == "peak") return peaks(argc - 2, argv + 2);
    const long count = argc > 2 ? std::atol(argv[2]) : 10000;
    const long every = argc > 3 ? std::atol(argv[3]) : 1000;
    return cycles(std::max(1L, count), std::max(1L, every));
}
