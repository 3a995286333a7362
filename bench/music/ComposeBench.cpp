// Cost of generating the disk's tunes (the build runs this on every fresh build)
// and of rendering them through libopenmpt.
#include "Composer.h"

#include <libopenmpt/libopenmpt.hpp>

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

void composeAll(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (const auto& tune : composer::catalogue()) {
            const auto data =
                modwriter::writeSong(composer::composeTrack(tune, VELSMOOR_SCORES_DIR), composer::formatOf(tune));
            bytes += data.size();
            benchmark::DoNotOptimize(data.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(composeAll)->Unit(benchmark::kMillisecond);

void renderTenSeconds(benchmark::State& state) {
    const auto& tune = composer::catalogue()[static_cast<std::size_t>(state.range(0))];
    const auto data = modwriter::writeSong(composer::composeTrack(tune, VELSMOOR_SCORES_DIR), composer::formatOf(tune));
    std::ostringstream log;
    std::vector<float> buffer(2 * 44100);
    for (auto _ : state) {
        openmpt::module m(data, log);
        for (int s = 0; s < 10; ++s) m.read_interleaved_stereo(44100, 44100, buffer.data());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetLabel(tune.file);
}
BENCHMARK(renderTenSeconds)->Arg(0)->Arg(3)->Arg(11)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
