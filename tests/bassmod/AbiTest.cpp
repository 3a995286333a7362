// The shared library through its C calls, on SDL's disk driver: the file SDL writes must hold
// exactly the module's audio. Each test runs in a process of its own under CTest; run by hand,
// the tests share the one initialisation a process gets.
#include "TestSupport.hpp"
#include "bassmod.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

namespace bassmod::test {
namespace {

class AbiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch = new ScratchDir;
        rawFile = *scratch / "sdlaudio.raw";
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", rawFile.c_str(), 1);
        // As fast as the mixer can go instead of real time.
        ::setenv("SDL_DISKAUDIODELAY", "0", 1);
    }
    static void TearDownTestSuite() {
        delete scratch;
        scratch = nullptr;
    }

    void SetUp() override {
        modulePath = *scratch / "tiny.s3m";
        writeBytes(modulePath, module);
    }

    static void initialise() {
        if (!initialised) {
            ASSERT_NE(BASSMOD_Init(BASSMOD_DEFAULT_DEVICE, rate, 0), 0) << BASSMOD_ErrorGetCode();
            initialised = true;
        }
    }

    static std::uintmax_t rawSize() {
        std::error_code error;
        const auto size = std::filesystem::file_size(rawFile, error);
        return error ? 0 : size;
    }

    // Loads, plays, and returns what SDL wrote from just before the start, at least `frames`
    // frames of it.
    static std::vector<std::int16_t> record(const std::function<int32_t()>& load, std::size_t frames) {
        // What reaches the file lags what was mixed by the writer's buffer and one device buffer;
        // this much later everything is from after the call.
        constexpr std::uintmax_t lag = 256 * 1024;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        auto waitFor = [&](std::uintmax_t size) {
            while (rawSize() < size && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        };
        EXPECT_NE(BASSMOD_MusicFree(), 0);
        const std::uintmax_t start = (rawSize() + lag) & ~std::uintmax_t{3};
        waitFor(start);
        EXPECT_NE(load(), 0) << BASSMOD_ErrorGetCode();
        EXPECT_NE(BASSMOD_MusicPlay(), 0) << BASSMOD_ErrorGetCode();
        const std::uintmax_t wanted = rawSize() + lag + 4 * (frames + rate);
        waitFor(wanted);
        std::ifstream in(rawFile, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(start));
        std::vector<std::int16_t> samples((wanted - start) / 2);
        in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(2 * samples.size()));
        samples.resize(static_cast<std::size_t>(in.gcount()) / 2);
        return samples;
    }

    // Where the reference's first frame sits in a recording, after checking that the recording
    // holds the reference there.
    static std::size_t expectHolds(const std::vector<std::int16_t>& recorded,
        const std::vector<std::int16_t>& reference, const std::string& what) {
        const std::size_t inRecording = firstLoudFrame(recorded.data(), recorded.size() / 2);
        const std::size_t inReference = firstLoudFrame(reference.data(), reference.size() / 2);
        if (inRecording == std::string::npos || inReference == std::string::npos || inRecording < inReference) {
            ADD_FAILURE() << "no music in the recording of " << what;
            return std::string::npos;
        }
        const std::size_t at = inRecording - inReference;
        if (recorded.size() < 2 * at + reference.size()) {
            ADD_FAILURE() << "recording of " << what << " too short";
            return std::string::npos;
        }
        EXPECT_LE(maxDifference(recorded.data() + 2 * at, reference.data(), reference.size()), 1) << what;
        return at;
    }

    inline static ScratchDir* scratch = nullptr;
    inline static std::filesystem::path rawFile;
    inline static bool initialised = false;
    std::vector<std::uint8_t> module = tinyS3m();
    std::filesystem::path modulePath;
};

TEST_F(AbiTest, VersionIsOnePointSix) {
    EXPECT_EQ(BASSMOD_GetVersion(), 0x00060001u);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_OK);
}

TEST_F(AbiTest, BeforeInitLoadAndPlayGiveEightAndFreeSucceeds) {
    if (initialised) GTEST_SKIP() << "this process has already initialised the library";
    EXPECT_EQ(BASSMOD_MusicLoad(0, modulePath.c_str(), 0, 0, BASSMOD_LOAD_SURROUND), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_NOT_INITIALISED);
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_NOT_INITIALISED);
    EXPECT_NE(BASSMOD_MusicFree(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_OK);
    EXPECT_EQ(BASSMOD_GetCPU(), 0.0f);
}

TEST_F(AbiTest, ErrorCodesOfEachCall) {
    EXPECT_EQ(BASSMOD_Init(BASSMOD_DEFAULT_DEVICE, 0, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_ILLEGAL_PARAMETER);
    EXPECT_EQ(BASSMOD_Init(12345, rate, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), initialised ? BASSMOD_CODE_ALREADY_INITIALISED : BASSMOD_CODE_ILLEGAL_DEVICE);
    initialise();
    EXPECT_EQ(BASSMOD_Init(BASSMOD_DEFAULT_DEVICE, rate, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_ALREADY_INITIALISED);

    EXPECT_NE(BASSMOD_MusicFree(), 0);
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_NO_MODULE);
    EXPECT_EQ(BASSMOD_MusicLoad(0, (*scratch / "missing.it").c_str(), 0, 0, BASSMOD_LOAD_SURROUND), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_FILE_OPEN);
    const char notAModule[] = "This is a text file, not music.";
    EXPECT_EQ(BASSMOD_MusicLoad(1, notAModule, 0, sizeof notAModule, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_FORMAT);
    EXPECT_NE(BASSMOD_MusicLoad(0, modulePath.c_str(), 0, 0, BASSMOD_LOAD_SURROUND), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_OK);
    EXPECT_NE(BASSMOD_MusicPlay(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_OK);
    EXPECT_NE(BASSMOD_MusicFree(), 0);
}

TEST_F(AbiTest, DiskOutputHoldsTheModuleOnceThenSilence) {
    initialise();
    const auto reference = referenceRender(module, true);
    const std::size_t songFrames = reference.size() / 2;
    const auto recorded = record([&] { return BASSMOD_MusicLoad(0, modulePath.c_str(), 0, 0, BASSMOD_LOAD_SURROUND); },
        songFrames + 2 * rate);
    const std::size_t at = expectHolds(recorded, reference, "the file");
    ASSERT_NE(at, std::string::npos);
    ASSERT_GE(recorded.size(), 2 * (at + songFrames + rate));
    EXPECT_TRUE(silent(recorded.data(), 2 * at));
    EXPECT_TRUE(silent(recorded.data() + 2 * (at + songFrames), 2 * rate));
}

TEST_F(AbiTest, FromMemoryAndTheDiskModulesSoundAsLibopenmptRendersThem) {
    initialise();
    const auto fromMemory = record(
        [&] {
            return BASSMOD_MusicLoad(1, module.data(), 0, static_cast<uint32_t>(module.size()), BASSMOD_LOAD_SURROUND);
        },
        rate);
    expectHolds(fromMemory, referenceRender(module, true, rate), "the module in memory");

    const auto modules = diskModules();
    for (const std::string ext : {".IT", ".S3M"}) {
        const auto found =
            std::find_if(modules.begin(), modules.end(), [&](const auto& p) { return p.extension() == ext; });
        if (found == modules.end()) continue;
        const auto recorded =
            record([&] { return BASSMOD_MusicLoad(0, found->c_str(), 0, 0, BASSMOD_LOAD_SURROUND); }, rate);
        expectHolds(recorded, referenceRender(readBytes(*found), true, rate), found->string());
    }
}

TEST_F(AbiTest, CpuIsZeroBeforePlayAndPositiveWhilePlaying) {
    initialise();
    // The disk driver mixes as fast as it can: a song of a few seconds is over, and the reading
    // back to 0, within tens of milliseconds, which this thread may well sleep through on a busy
    // machine. Five minutes of song keep the mixer busy forty times as long.
    const auto longer = tinyS3m(64, 255);
    ASSERT_NE(BASSMOD_MusicLoad(1, longer.data(), 0, static_cast<uint32_t>(longer.size()), 0), 0);
    EXPECT_EQ(BASSMOD_GetCPU(), 0.0f);
    ASSERT_NE(BASSMOD_MusicPlay(), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (BASSMOD_GetCPU() == 0.0f && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GT(BASSMOD_GetCPU(), 0.0f);
    EXPECT_NE(BASSMOD_MusicFree(), 0);
    EXPECT_EQ(BASSMOD_GetCPU(), 0.0f);
}

// Any thread may call; each call runs alone, and each thread reads the code of its own last call.
TEST_F(AbiTest, TwoThreadsLoadingPlayingAndFreeingAtOnce) {
    initialise();
    const auto loop = [&](bool fromMemory, int& played) {
        for (int i = 0; i < 60; ++i) {
            const int32_t loaded = fromMemory ? BASSMOD_MusicLoad(1, module.data(), 0,
                                                    static_cast<uint32_t>(module.size()), BASSMOD_LOAD_SURROUND)
                                              : BASSMOD_MusicLoad(0, modulePath.c_str(), 0, 0, BASSMOD_LOAD_SURROUND);
            EXPECT_NE(loaded, 0) << BASSMOD_ErrorGetCode();
            // The other thread may free it in between.
            if (BASSMOD_MusicPlay() != 0) {
                EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_OK);
                ++played;
            } else {
                EXPECT_EQ(BASSMOD_ErrorGetCode(), BASSMOD_CODE_NO_MODULE);
            }
            const float cpu = BASSMOD_GetCPU();
            EXPECT_TRUE(cpu >= 0.0f && cpu <= 100.0f) << cpu;
            if (i % 3 == 0) {
                EXPECT_NE(BASSMOD_MusicFree(), 0);
            }
            EXPECT_EQ(BASSMOD_GetVersion(), 0x00060001u);
        }
    };
    int playedA = 0, playedB = 0;
    std::thread other(loop, true, std::ref(playedB));
    loop(false, playedA);
    other.join();
    EXPECT_GT(playedA + playedB, 0);

    // Still whole afterwards.
    const auto recorded =
        record([&] { return BASSMOD_MusicLoad(0, modulePath.c_str(), 0, 0, BASSMOD_LOAD_SURROUND); }, rate);
    expectHolds(recorded, referenceRender(module, true, rate), "a load after the threads");
}

} // namespace
} // namespace bassmod::test
