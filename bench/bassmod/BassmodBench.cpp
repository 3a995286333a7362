// Mixing throughput of the library's path (player, lock, CPU meter, render) against raw
// libopenmpt on the same module, in times real time, and the cost of one CPU-load query.
#include "CaptureOutput.hpp"
#include "Player.hpp"
#include "TinyS3m.hpp"
#include "bassmod.h"

#include <benchmark/benchmark.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t rate = 44100;
constexpr std::size_t sliceFrames = 1024; // what SDL asks for per callback

// The largest of the disk's modules when built, else a small written one.
const std::vector<std::uint8_t>& benchModule() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::filesystem::path largest;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(BASSMOD_BENCH_MODS_DIR, error))
            if (entry.is_regular_file() && (largest.empty() || entry.file_size() > std::filesystem::file_size(largest)))
                largest = entry.path();
        if (largest.empty()) return bassmod::test::tinyS3m(64, 6);
        std::ifstream in(largest, std::ios::binary);
        return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }();
    return bytes;
}

std::unique_ptr<openmpt::module> rawModule() {
    auto module = std::make_unique<openmpt::module>(benchModule());
    module->ctl_set_text("play.at_end", "stop");
    module->ctl_set_integer("dither", 0);
    module->set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT, 200);
    return module;
}

// Raw libopenmpt, started again from a fresh module at the end as the library does on Play.
class RawPath {
public:
    void render(std::int16_t* out) {
        if (module_->read_interleaved_stereo(rate, sliceFrames, out) < sliceFrames) module_ = rawModule();
    }

private:
    std::unique_ptr<openmpt::module> module_ = rawModule();
};

class LibraryPath {
public:
    LibraryPath() : capture_(new bassmod::CaptureOutput), player_(std::unique_ptr<bassmod::AudioOutput>(capture_)) {
        const auto& bytes = benchModule();
        player_.init(BASSMOD_DEFAULT_DEVICE, rate, 0);
        player_.load(true, bytes.data(), 0, static_cast<std::uint32_t>(bytes.size()), BASSMOD_LOAD_SURROUND);
        player_.play();
    }
    void render(std::int16_t* out) {
        capture_->pullInto(out, sliceFrames);
        if (player_.cpu() == 0.0f) player_.play();
    }
    bassmod::Player& player() { return player_; }

private:
    bassmod::CaptureOutput* capture_;
    bassmod::Player player_;
};

template <typename Path>
void renderThroughput(benchmark::State& state) {
    Path path;
    std::vector<std::int16_t> buffer(2 * sliceFrames);
    for (auto _ : state) {
        path.render(buffer.data());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * sliceFrames / rate, benchmark::Counter::kIsRate);
}
BENCHMARK_TEMPLATE(renderThroughput, RawPath)->Name("RawLibopenmpt");
BENCHMARK_TEMPLATE(renderThroughput, LibraryPath)->Name("LibraryMixingPath");

// Both paths one second of audio at a time, alternating, so the ratio sees the same machine state.
void LibraryToRawRatio(benchmark::State& state) {
    RawPath raw;
    LibraryPath library;
    std::vector<std::int16_t> buffer(2 * sliceFrames);
    std::chrono::steady_clock::duration rawTime{}, libraryTime{};
    double seconds = 0;
    const std::size_t slicesPerSecond = rate / sliceFrames;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < slicesPerSecond; ++i) {
            raw.render(buffer.data());
            benchmark::DoNotOptimize(buffer.data());
        }
        auto middle = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < slicesPerSecond; ++i) {
            library.render(buffer.data());
            benchmark::DoNotOptimize(buffer.data());
        }
        auto end = std::chrono::steady_clock::now();
        rawTime += middle - start;
        libraryTime += end - middle;
        seconds += static_cast<double>(slicesPerSecond * sliceFrames) / rate;
    }
    const double rawX = seconds / std::chrono::duration<double>(rawTime).count();
    const double libraryX = seconds / std::chrono::duration<double>(libraryTime).count();
    state.counters["raw_x_realtime"] = rawX;
    state.counters["library_x_realtime"] = libraryX;
    state.counters["ratio"] = libraryX / rawX;
}
BENCHMARK(LibraryToRawRatio)->MinTime(3.0);

void PlayerCpuQuery(benchmark::State& state) {
    LibraryPath library;
    std::vector<std::int16_t> buffer(2 * sliceFrames);
    library.render(buffer.data());
    for (auto _ : state) benchmark::DoNotOptimize(library.player().cpu());
}
BENCHMARK(PlayerCpuQuery);

// The exported call as the program makes it, through the shared library.
void ExportedGetCpu(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BASSMOD_GetCPU());
}
BENCHMARK(ExportedGetCpu);

} // namespace

BENCHMARK_MAIN();
