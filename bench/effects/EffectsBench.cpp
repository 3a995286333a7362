// Cost of the 30 ms tick (strip move plus two CPU captions) and of the CPU text alone.
// Run with QT_QPA_PLATFORM=offscreen (or under a display to include the window system).
#include <QApplication>

#include <benchmark/benchmark.h>

#include "effects/CpuText.h"
#include "effects/Effects.h"
#include "forms/Controls.h"
#include "forms/Timer.h"
#include "player/ModuleLibrary.h"

namespace {

class SteadyLibrary final : public player::ModuleLibrary {
public:
    float load = 0.0f;
    std::uint32_t GetVersion() override { return 0x10006; }
    std::int32_t Init(std::int32_t, std::uint32_t, std::uint32_t) override { return 1; }
    std::int32_t MusicLoad(std::int32_t, const void*, std::uint32_t, std::uint32_t, std::uint32_t) override {
        return 1;
    }
    std::int32_t MusicPlay() override { return 1; }
    std::int32_t MusicFree() override { return 1; }
    std::int32_t ErrorGetCode() override { return 0; }
    // A load that changes now and then, the way a mixer's does.
    float GetCPU() override { return load += 0.0007f; }
};

void BM_CpuText(benchmark::State& s) {
    float v = 0.0f;
    for (auto _ : s) {
        benchmark::DoNotOptimize(effects::formatCpuLoad(v));
        v += 0.013f;
    }
}
BENCHMARK(BM_CpuText);

void BM_ScrollerTick(benchmark::State& s) {
    forms::VirtualClock clock;
    forms::Timer t2(clock, "Timer2"), t3(clock, "Timer3");
    forms::Form form("frmMain", 7800, 7470);
    auto& lblCPU = form.addLabel("lblCPU", 1320, 6960, 615, 135);
    auto& lblCPU2 = form.addLabel("lblCPU2", 1335, 6990, 615, 135);
    auto& lbl2 = form.addLabel("lbl2", 75, 7230, 7650, 195);
    auto& p2 = form.addPicture("Picture2", 60, 0, 7695, 315);
    auto& p3 = p2.addPicture("Picture3", 7680, 60, 7755, 240);
    p3.setScale(1.8201163f, 1);
    auto& lbl1 = p3.addLabel("lbl1", 120, 30, 14115, 195);
    lbl1.setCaption("Velsmoor, Part I [Orvantis]");
    form.show();
    SteadyLibrary library;
    effects::Effects fx({&lbl1, &lbl2, &lblCPU, &lblCPU2, &p2, &p3, &t2, &t3}, [&library] { return library.GetCPU(); });
    for (auto _ : s) {
        fx.Timer1_Timer();
        QApplication::processEvents(); // the repaints the tick asked for
    }
}
BENCHMARK(BM_ScrollerTick);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
