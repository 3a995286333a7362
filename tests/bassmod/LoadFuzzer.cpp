// libFuzzer target: the input loaded as a module from memory and, when it loads, one second of
// it played, through the player the shared library runs (on a capture output, not a device).
// Built only with -DVELSMOOR_FUZZ=ON; scripts/fuzz.sh runs it.
#include "CaptureOutput.hpp"
#include "Player.hpp"
#include "bassmod.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

constexpr std::uint32_t rate = 44100;
constexpr std::size_t sliceFrames = 1024;
constexpr std::size_t slices = (rate + sliceFrames - 1) / sliceFrames;

// libopenmpt comes from the system, built without coverage, so the fuzzer would see only our own
// few branches. What the input sounded like stands in: libFuzzer keeps an input that lights a
// counter no other input has.
__attribute__((used, section("__libfuzzer_extra_counters"))) std::uint8_t heard[2 + 16 + slices + 1];

void noteWhatWasHeard(bool loaded, int peak, std::size_t loudSlices, std::size_t playedSlices) {
    ++heard[loaded ? 1 : 0];
    if (!loaded) return;
    int bits = 0;
    while (peak > 0 && bits < 15) {
        peak >>= 1;
        ++bits;
    }
    ++heard[2 + bits];
    ++heard[2 + 16 + loudSlices];
    if (playedSlices < slices) ++heard[2 + 16 + slices];
}

struct Rig {
    bassmod::CaptureOutput* capture = new bassmod::CaptureOutput;
    bassmod::Player player{std::unique_ptr<bassmod::AudioOutput>(capture)};
    Rig() { player.init(BASSMOD_DEFAULT_DEVICE, rate, 0); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Rig rig;
    if (size == 0 || size > std::numeric_limits<std::uint32_t>::max()) return 0;
    const bool loaded =
        rig.player.load(true, data, 0, static_cast<std::uint32_t>(size), BASSMOD_LOAD_SURROUND) && rig.player.play();
    int peak = 0;
    std::size_t loudSlices = 0, playedSlices = 0;
    for (std::size_t slice = 0; loaded && slice < slices; ++slice) {
        static std::int16_t buffer[2 * sliceFrames];
        rig.capture->pullInto(buffer, sliceFrames);
        int slicePeak = 0;
        for (const std::int16_t sample : buffer) slicePeak = std::max(slicePeak, std::abs(int(sample)));
        peak = std::max(peak, slicePeak);
        loudSlices += slicePeak > 0 ? 1 : 0;
        // The meter reads zero once the song has ended.
        playedSlices += rig.player.cpu() > 0.0f ? 1 : 0;
    }
    noteWhatWasHeard(loaded, peak, loudSlices, playedSlices);
    rig.player.free();
    return 0;
}
