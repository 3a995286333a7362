// The real program with the real module library and the disk's music: what reaches the sound
// output right after start is the first tune.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include "ProgramRun.h"

namespace e2e {
namespace {

constexpr int kRate = 44100;

// Left plus right: the same whatever the stereo separation, so the library's surround mixing
// does not matter.
std::vector<double> monoOf(const std::vector<std::int16_t>& interleaved) {
    std::vector<double> mono(interleaved.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i) mono[i] = double(interleaved[2 * i]) + double(interleaved[2 * i + 1]);
    return mono;
}

std::vector<double> reference(const std::string& file, double seconds) {
    std::ifstream in(file, std::ios::binary);
    openmpt::module mod(in);
    mod.select_subsong(0);
    mod.ctl_set_text("play.at_end", "stop");
    mod.ctl_set_integer("dither", 0);
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(seconds * kRate) * 2);
    const std::size_t got = mod.read_interleaved_stereo(kRate, pcm.size() / 2, pcm.data());
    pcm.resize(got * 2);
    return monoOf(pcm);
}

std::size_t onset(const std::vector<double>& m) {
    for (std::size_t i = 0; i < m.size(); ++i)
        if (std::abs(m[i]) > 64) return i;
    return m.size();
}

// Best normalised correlation of n samples of a (from its onset) against b (from its onset),
// over small shifts.
double match(const std::vector<double>& a, const std::vector<double>& b, std::size_t n) {
    const std::size_t oa = onset(a), ob = onset(b);
    if (oa + n > a.size()) return -1;
    double best = -1;
    for (int shift = -256; shift <= 256; ++shift) {
        const long start = static_cast<long>(ob) + shift;
        if (start < 0 || static_cast<std::size_t>(start) + n > b.size()) continue;
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double x = a[oa + i], y = b[static_cast<std::size_t>(start) + i];
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        if (aa > 0 && bb > 0) best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

TEST(AudioRun, TheFirstTuneIsWhatPlays) {
    ProgramFolder folder;
    folder.addRealLibrary();
    folder.addMods();
    const std::string raw = folder.path() + "/../captured.raw";
    const RunResult r = folder.run(2000, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", raw}});
    EXPECT_FALSE(r.finished) << r.stderrText;
    EXPECT_TRUE(r.boxes.empty()) << r.stderrText;

    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::int16_t> pcm(bytes.size() / 2);
    std::memcpy(pcm.data(), bytes.data(), pcm.size() * 2);
    const std::vector<double> captured = monoOf(pcm);

    const std::size_t window = kRate / 2; // half a second from the first sound on
    ASSERT_GE(captured.size(), onset(captured) + window)
        << "captured " << captured.size() << " frames, sound from frame " << onset(captured);

    const double first = match(captured, reference(folder.path() + "/mods/HGLASS.IT", 3), window);
    const double second = match(captured, reference(folder.path() + "/mods/MWDRIFT.IT", 3), window);
    EXPECT_GT(first, 0.95);
    EXPECT_LT(second, 0.5) << "the comparison must tell tunes apart";
    RecordProperty("correlation_first_tune", std::to_string(first));
    RecordProperty("correlation_second_tune", std::to_string(second));
}

} // namespace
} // namespace e2e
