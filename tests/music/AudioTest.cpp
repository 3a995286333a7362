// What the tunes sound like when libopenmpt renders them at 44100 Hz stereo:
// they end on time, never clip, share one loudness band, never fall silent
// and do not sound alike.
#include "Render.h"
#include "player/TrackList.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <iostream>
#include <mutex>
#include <thread>

namespace {

// Loudness band every track must fall in, RMS over the whole track.
constexpr double kRmsLowDb = -20.0;
constexpr double kRmsHighDb = -17.0;
// A ten-second window quieter than this counts as silence.
constexpr double kSilenceDb = -45.0;
// Energy at 15 kHz and above, relative to the whole: white-noise hats or aliasing samples put
// about -28 dB there; band-limited samples and low-passed cymbals stay far below.
constexpr double kAirMaxDb = -36.0;

class Rendered : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        analyses_.resize(player::kTrackList.size());
        std::mutex lock;
        std::size_t next = 0;
        auto worker = [&] {
            for (;;) {
                std::size_t i;
                {
                    std::lock_guard guard(lock);
                    if (next >= player::kTrackList.size()) return;
                    i = next++;
                }
                auto m = musictest::loadFile(std::filesystem::path(VELSMOOR_MODS_DIR) / player::kTrackList[i].file);
                analyses_[i] = musictest::analyse(musictest::render(*m));
            }
        };
        std::thread a(worker), b(worker);
        a.join();
        b.join();
        for (std::size_t i = 0; i < analyses_.size(); ++i) {
            const auto& r = analyses_[i];
            std::cout << std::left << std::setw(14) << player::kTrackList[i].file << std::fixed << std::setprecision(2)
                      << " length " << r.seconds << " s, RMS " << r.rmsDb << " dBFS, peak " << r.peakDb
                      << " dBFS, quietest 10 s " << r.quietestWindowDb << " dBFS, above 15 kHz " << r.airDb << " dB\n";
        }
    }
    static std::vector<musictest::Analysis> analyses_;
};

std::vector<musictest::Analysis> Rendered::analyses_;

// Each track ends at its catalogue length (it does not loop), never clips, keeps to the loudness
// band, never falls silent for ten seconds after the start and keeps its top octave quiet.
TEST_F(Rendered, EveryTrackEndsOnTimeUnclippedInBandAndNeverSilent) {
    for (std::size_t i = 0; i < analyses_.size(); ++i) {
        const musictest::Analysis& a = analyses_[i];
        SCOPED_TRACE(player::kTrackList[i].file);
        EXPECT_NEAR(a.seconds, player::kTrackList[i].length, 1.0);
        EXPECT_LT(a.peakDb, 0.0);
        EXPECT_GE(a.rmsDb, kRmsLowDb);
        EXPECT_LE(a.rmsDb, kRmsHighDb);
        EXPECT_GT(a.quietestWindowDb, kSilenceDb);
        EXPECT_LT(a.airDb, kAirMaxDb);
    }
}

TEST_F(Rendered, NoTwoTracksSoundAlike) {
    double closest = 1e9;
    for (std::size_t i = 0; i < analyses_.size(); ++i) {
        for (std::size_t j = i + 1; j < analyses_.size(); ++j) {
            const double d = musictest::fingerprintDistance(analyses_[i].fingerprint, analyses_[j].fingerprint);
            closest = std::min(closest, d);
            EXPECT_GT(d, 0.5) << player::kTrackList[i].file << " and " << player::kTrackList[j].file;
        }
    }
    std::cout << "closest pair of spectral fingerprints: " << closest << " dB apart\n";
}

TEST(Fingerprint, TellsARepeatFromADifferentTune) {
    // The same track rendered twice must match, so the distance above measures the tunes, not the renderer.
    auto a = musictest::loadFile(std::filesystem::path(VELSMOOR_MODS_DIR) / "FLICK.S3M");
    auto b = musictest::loadFile(std::filesystem::path(VELSMOOR_MODS_DIR) / "FLICK.S3M");
    const auto fa = musictest::analyse(musictest::render(*a)).fingerprint;
    const auto fb = musictest::analyse(musictest::render(*b)).fingerprint;
    EXPECT_LT(musictest::fingerprintDistance(fa, fb), 0.01);
}

} // namespace
