// The player on SDL's audio: which code each Init failure gives, and playing on SDL's own thread.
#include "SdlOutput.hpp"
#include "Player.hpp"
#include "TestSupport.hpp"
#include "bassmod.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace bassmod::test {
namespace {

class SdlPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

    Player player{std::make_unique<SdlOutput>()};
};

TEST_F(SdlPlayerTest, InitCodesThenTheDefaultOutputOnceLeavingSignalsAlone) {
    const auto expectFails = [&](std::int32_t device, std::uint32_t freq, std::int32_t code) {
        EXPECT_FALSE(player.init(device, freq, 0)) << device << " " << freq;
        EXPECT_EQ(player.errorCode(), code) << device << " " << freq;
    };
    expectFails(9999, rate, BASSMOD_CODE_ILLEGAL_DEVICE);
    expectFails(-2, rate, BASSMOD_CODE_ILLEGAL_DEVICE);
    expectFails(BASSMOD_DEFAULT_DEVICE, 0, BASSMOD_CODE_ILLEGAL_PARAMETER);
    expectFails(BASSMOD_DEFAULT_DEVICE, 100'000'000, BASSMOD_CODE_ILLEGAL_PARAMETER);
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    expectFails(BASSMOD_DEFAULT_DEVICE, rate, BASSMOD_CODE_NO_DRIVER);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);

    ASSERT_TRUE(player.init(BASSMOD_DEFAULT_DEVICE, rate, 0)) << player.errorCode();
    expectFails(BASSMOD_DEFAULT_DEVICE, rate, BASSMOD_CODE_ALREADY_INITIALISED);
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction current {};
        ASSERT_EQ(::sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << signal;
    }
}

// Real time: the dummy device pulls about 46 ms of audio at a time.
TEST_F(SdlPlayerTest, CpuRisesWhilePlayingOnTheAudioThread) {
    ScratchDir scratch;
    const auto module = tinyS3m(64, 6);
    writeBytes(scratch / "tiny.s3m", module);
    ASSERT_TRUE(player.init(BASSMOD_DEFAULT_DEVICE, rate, 0));
    ASSERT_TRUE(player.load(false, (scratch / "tiny.s3m").c_str(), 0, 0, BASSMOD_LOAD_SURROUND));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(player.cpu(), 0.0f);
    ASSERT_TRUE(player.play());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (player.cpu() == 0.0f && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(player.cpu(), 0.0f);
    // Freeing and loading again while the audio thread runs.
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(player.load(true, module.data(), 0, static_cast<std::uint32_t>(module.size()), 0));
        ASSERT_TRUE(player.play());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(player.free());
    }
    EXPECT_EQ(player.cpu(), 0.0f);
}

} // namespace
} // namespace bassmod::test
