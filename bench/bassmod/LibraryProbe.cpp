// The module library on its own, for the whole-program benchmark (bench/run.sh): plays a tune on
// the SDL output with no window, checks its CPU reading against the audio thread's own CPU time,
// and cycles the disk's tunes through load, play and free while watching resident memory.
// Prints "key value" lines.
#include "ProcStatus.hpp"
#include "bassmod.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
constexpr std::uint32_t kSurround = 512;

// CPU time of SDL's audio thread in nanoseconds, from the scheduler's own account.
long long audioThreadNanoseconds() {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name.rfind("SDLAudio", 0) != 0) continue;
        std::ifstream stat(task.path() / "schedstat");
        long long ns = 0;
        stat >> ns;
        return ns;
    }
    return -1;
}

bool start(const std::string& file) {
    if (BASSMOD_MusicLoad(0, file.c_str(), 0, 0, kSurround) == 0 || BASSMOD_MusicPlay() == 0) {
        std::fprintf(stderr, "cannot play %s: error %d\n", file.c_str(), BASSMOD_ErrorGetCode());
        return false;
    }
    return true;
}

int play(const std::string& file, double seconds) {
    if (!start(file)) return 1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(1s);
        BASSMOD_GetCPU();
    }
    return 0;
}

int cpuCheck(const std::string& file, double seconds) {
    if (!start(file)) return 1;
    std::this_thread::sleep_for(2s);
    const long long cpu0 = audioThreadNanoseconds();
    const auto t0 = std::chrono::steady_clock::now();
    const auto end = t0 + std::chrono::duration<double>(seconds);
    double sum = 0;
    long samples = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(50ms);
        sum += BASSMOD_GetCPU();
        ++samples;
    }
    const long long cpu1 = audioThreadNanoseconds();
    const double wall = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
    if (cpu0 < 0 || cpu1 < 0 || samples == 0) {
        std::fprintf(stderr, "no audio thread to measure\n");
        return 1;
    }
    std::printf("library-reading-percent %.4f\n", sum / static_cast<double>(samples));
    std::printf("audio-thread-percent %.4f\n", 100.0 * static_cast<double>(cpu1 - cpu0) / wall);
    return 0;
}

int cycle(const std::string& folder, int changes) {
    std::vector<std::string> tunes;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) tunes.push_back(entry.path().string());
    std::sort(tunes.begin(), tunes.end());
    if (tunes.empty()) {
        std::fprintf(stderr, "no tunes in %s\n", folder.c_str());
        return 1;
    }
    std::vector<double> bestLoad(tunes.size(), 1e300);
    long rssAfterFirst = 0;
    for (int i = 0; i <= changes; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % tunes.size();
        BASSMOD_MusicFree();
        const auto t0 = std::chrono::steady_clock::now();
        if (BASSMOD_MusicLoad(0, tunes[k].c_str(), 0, 0, kSurround) == 0) {
            std::fprintf(stderr, "cannot load %s\n", tunes[k].c_str());
            return 1;
        }
        bestLoad[k] = std::min(bestLoad[k],
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        BASSMOD_MusicPlay();
        std::this_thread::sleep_for(300ms);
        if (i == 0) rssAfterFirst = procStatusKib("VmRSS");
    }
    const long rssEnd = procStatusKib("VmRSS");
    std::printf("cycle-rss-first-kb %ld\n", rssAfterFirst);
    std::printf("cycle-rss-end-kb %ld\n", rssEnd);
    std::printf("cycle-growth-per-change-kb %.1f\n", static_cast<double>(rssEnd - rssAfterFirst) / changes);
    std::printf("cycle-peak-kb %ld\n", procStatusKib("VmHWM"));
    for (std::size_t k = 0; k < tunes.size(); ++k)
        if (bestLoad[k] < 1e300)
            std::printf("load-ms %s %.3f\n", std::filesystem::path(tunes[k]).filename().c_str(), bestLoad[k]);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 4 || (mode != "play" && mode != "cpucheck" && mode != "cycle")) {
        std::fprintf(stderr, "usage: %s play FILE SECONDS | cpucheck FILE SECONDS | cycle FOLDER CHANGES\n", argv[0]);
        return 2;
    }
    if (BASSMOD_Init(BASSMOD_DEFAULT_DEVICE, 44100, 0) == 0) {
        std::fprintf(stderr, "no audio output: error %d\n", BASSMOD_ErrorGetCode());
        return 1;
    }
    if (mode == "play") return play(argv[2], std::atof(argv[3]));
    if (mode == "cpucheck") return cpuCheck(argv[2], std::atof(argv[3]));
    return cycle(argv[2], std::atoi(argv[3]));
}
