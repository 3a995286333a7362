// The player's operations on a capture output: codes, what it renders, and that it lets go.
#include "Player.hpp"
#include "CaptureOutput.hpp"
#include "CpuMeter.hpp"
#include "TestSupport.hpp"
#include "bassmod.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <random>

#include <sys/stat.h>

namespace bassmod::test {
namespace {

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() {
        auto output = std::make_unique<CaptureOutput>();
        capture = output.get();
        player = std::make_unique<Player>(std::move(output));
        writeBytes(modulePath, module);
    }

    void initialise() { ASSERT_TRUE(player->init(BASSMOD_DEFAULT_DEVICE, rate, 0)); }

    bool loadFile(const std::filesystem::path& path, std::uint32_t flags = BASSMOD_LOAD_SURROUND) {
        return player->load(false, path.c_str(), 0, 0, flags);
    }

    bool loadBytes(const std::vector<std::uint8_t>& bytes, std::uint32_t flags = BASSMOD_LOAD_SURROUND) {
        return player->load(true, bytes.data(), 0, static_cast<std::uint32_t>(bytes.size()), flags);
    }

    // Renders `frames` frames in the device's usual slices.
    std::vector<std::int16_t> pull(std::size_t frames) {
        std::vector<std::int16_t> all;
        while (all.size() < 2 * frames) {
            const auto part = capture->pull(std::min<std::size_t>(1024, frames - all.size() / 2));
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }

    ScratchDir scratch;
    std::vector<std::uint8_t> module = tinyS3m();
    std::filesystem::path modulePath = scratch / "tiny.s3m";
    CaptureOutput* capture = nullptr;
    std::unique_ptr<Player> player;
};

// Checks that a call failed and left the code.
#define EXPECT_FAILS_WITH(call, code)                                                                                  \
    do {                                                                                                               \
        EXPECT_FALSE(call);                                                                                            \
        EXPECT_EQ(player->errorCode(), code);                                                                          \
    } while (0)

// --- Codes, each from the call that gives it ---------------------------------------------------

TEST_F(PlayerTest, CodesBeforeAndAtInit) {
    EXPECT_FAILS_WITH(loadFile(modulePath), BASSMOD_CODE_NOT_INITIALISED);
    EXPECT_FAILS_WITH(player->play(), BASSMOD_CODE_NOT_INITIALISED);
    EXPECT_TRUE(player->free());
    EXPECT_EQ(player->errorCode(), BASSMOD_CODE_OK);
    // Refused rates leave it uninitialised.
    for (std::uint32_t bad : {0u, 7999u, 192001u, 4'000'000'000u})
        EXPECT_FAILS_WITH(player->init(BASSMOD_DEFAULT_DEVICE, bad, 0), BASSMOD_CODE_ILLEGAL_PARAMETER);
    EXPECT_EQ(capture->rate(), 0u);
    initialise();
    EXPECT_EQ(capture->rate(), rate);
    EXPECT_FAILS_WITH(player->init(BASSMOD_DEFAULT_DEVICE, rate, 0), BASSMOD_CODE_ALREADY_INITIALISED);
}

TEST(PlayerOutputFailure, OutputCodeIsPassedOn) {
    Player player(std::make_unique<CaptureOutput>(BASSMOD_CODE_NO_DRIVER));
    EXPECT_FALSE(player.init(BASSMOD_DEFAULT_DEVICE, rate, 0));
    EXPECT_EQ(player.errorCode(), BASSMOD_CODE_NO_DRIVER);
    EXPECT_FALSE(player.load(true, "x", 0, 1, 0));
    EXPECT_EQ(player.errorCode(), BASSMOD_CODE_NOT_INITIALISED);
}

TEST_F(PlayerTest, CodesOfLoadAndPlay) {
    initialise();
    EXPECT_FAILS_WITH(player->play(), BASSMOD_CODE_NO_MODULE);
    EXPECT_FAILS_WITH(loadFile(scratch / "nothing-here.it"), BASSMOD_CODE_FILE_OPEN);
    EXPECT_FAILS_WITH(loadFile(scratch.path()), BASSMOD_CODE_FILE_OPEN);
    // Opening a FIFO for reading would wait for a writer forever; a device never ends.
    ASSERT_EQ(::mkfifo((scratch / "fifo.it").c_str(), 0600), 0);
    EXPECT_FAILS_WITH(loadFile(scratch / "fifo.it"), BASSMOD_CODE_FILE_OPEN);
    EXPECT_FAILS_WITH(loadFile("/dev/zero"), BASSMOD_CODE_FILE_OPEN);
    EXPECT_FAILS_WITH(player->load(false, nullptr, 0, 0, 0), BASSMOD_CODE_ILLEGAL_PARAMETER);
    EXPECT_FAILS_WITH(player->load(true, nullptr, 0, 100, 0), BASSMOD_CODE_ILLEGAL_PARAMETER);
    EXPECT_FAILS_WITH(player->load(true, module.data(), 0, 0, 0), BASSMOD_CODE_ILLEGAL_PARAMETER);

    // Empty, random and header-only input, and an offset past the end: not a module.
    writeBytes(scratch / "empty.it", {});
    EXPECT_FAILS_WITH(loadFile(scratch / "empty.it"), BASSMOD_CODE_FORMAT);
    std::mt19937 random(1234);
    std::vector<std::uint8_t> noise(8192);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    writeBytes(scratch / "noise.s3m", noise);
    EXPECT_FAILS_WITH(loadFile(scratch / "noise.s3m"), BASSMOD_CODE_FORMAT);
    EXPECT_FAILS_WITH(loadBytes(noise), BASSMOD_CODE_FORMAT);
    EXPECT_FAILS_WITH(loadBytes({module.begin(), module.begin() + 0x40}), BASSMOD_CODE_FORMAT);
    EXPECT_FAILS_WITH(player->load(false, modulePath.c_str(), static_cast<std::uint32_t>(module.size()), 0, 0),
        BASSMOD_CODE_FORMAT);

    // Larger than any module: refused before a byte is read (the length here overruns the
    // buffer, so reading it would be caught). A module-sized part of a huge file still loads.
    EXPECT_FAILS_WITH(player->load(true, module.data(), 0, BASSMOD_MAX_MODULE_BYTES + 1, 0), BASSMOD_CODE_FORMAT);
    {
        std::ofstream(scratch / "huge.it").close();
        std::filesystem::resize_file(scratch / "huge.it", 200u << 20);
        EXPECT_FAILS_WITH(loadFile(scratch / "huge.it"), BASSMOD_CODE_FORMAT);
        std::filesystem::resize_file(scratch / "huge.it", BASSMOD_MAX_MODULE_BYTES + 1);
        EXPECT_FAILS_WITH(loadFile(scratch / "huge.it"), BASSMOD_CODE_FORMAT);
        std::fstream(scratch / "huge.it", std::ios::in | std::ios::out | std::ios::binary)
            .write(reinterpret_cast<const char*>(module.data()), static_cast<std::streamsize>(module.size()));
        EXPECT_TRUE(
            player->load(false, (scratch / "huge.it").c_str(), 0, static_cast<std::uint32_t>(module.size()), 0));
    }

    // Success clears the code; a failed load still frees the old module, and so does free.
    EXPECT_TRUE(loadFile(modulePath));
    EXPECT_EQ(player->errorCode(), BASSMOD_CODE_OK);
    ASSERT_TRUE(player->play());
    EXPECT_FALSE(loadFile(scratch / "missing.it"));
    EXPECT_FAILS_WITH(player->play(), BASSMOD_CODE_NO_MODULE);
    ASSERT_TRUE(loadFile(modulePath));
    ASSERT_TRUE(player->free());
    EXPECT_FAILS_WITH(player->play(), BASSMOD_CODE_NO_MODULE);
}

// libopenmpt salvages what a damaged module still holds; the player must play that to its end
// without reading past the data, or refuse it. Damaged here: modules cut in half, and every
// input the fuzzer has found, which go through the file load path.
TEST_F(PlayerTest, DamagedModulesPlayWhatIsLeftOrAreRefused) {
    initialise();
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cut{
        {"tiny.s3m", {module.begin(), module.begin() + module.size() / 2}}};
    for (const auto& path : diskModules()) {
        const auto bytes = readBytes(path);
        cut.emplace_back(path.filename().string(),
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2));
    }
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(BASSMOD_TEST_FUZZ_REGRESSIONS_DIR))
        found.push_back(entry.path());
    ASSERT_FALSE(found.empty());

    const auto playToTheEnd = [&](bool loaded, const std::string& what) {
        if (!loaded) {
            EXPECT_EQ(player->errorCode(), BASSMOD_CODE_FORMAT) << what;
            return;
        }
        ASSERT_TRUE(player->play()) << what;
        for (int i = 0; i < 1000; ++i) {
            capture->pull(1024);
            if (player->cpu() == 0.0f) break; // the salvaged song has ended
        }
        EXPECT_TRUE(player->free());
    };
    for (const auto& [name, bytes] : cut) playToTheEnd(loadBytes(bytes), "half of " + name);
    for (const auto& path : found) playToTheEnd(loadFile(path), path.filename().string());
}

// --- What it plays -----------------------------------------------------------------------------

TEST_F(PlayerTest, SurroundWidensTheStereoImage) {
    initialise();
    auto sideEnergy = [&](std::uint32_t flags) {
        EXPECT_TRUE(loadBytes(module, flags));
        EXPECT_TRUE(player->play());
        const auto played = pull(rate / 2);
        double side = 0;
        for (std::size_t f = 0; f < played.size() / 2; ++f)
            side += std::abs(double(played[2 * f]) - double(played[2 * f + 1]));
        return side;
    };
    EXPECT_GT(sideEnergy(BASSMOD_LOAD_SURROUND), 1.5 * sideEnergy(0));
}

TEST_F(PlayerTest, MemoryFileAndOffsetLoadsSoundTheSame) {
    initialise();
    ASSERT_TRUE(loadFile(modulePath));
    ASSERT_TRUE(player->play());
    const auto fromFile = pull(rate);

    ASSERT_TRUE(loadBytes(module));
    ASSERT_TRUE(player->play());
    EXPECT_EQ(pull(rate), fromFile);

    // Junk on both sides of the module, which offset and length must skip.
    std::vector<std::uint8_t> wrapped(100 + module.size() + 333, 0xAB);
    std::copy(module.begin(), module.end(), wrapped.begin() + 100);
    writeBytes(scratch / "wrapped.bin", wrapped);
    ASSERT_TRUE(player->load(false, (scratch / "wrapped.bin").c_str(), 100, static_cast<std::uint32_t>(module.size()),
        BASSMOD_LOAD_SURROUND));
    ASSERT_TRUE(player->play());
    EXPECT_EQ(pull(rate), fromFile);

    ASSERT_TRUE(
        player->load(true, wrapped.data(), 100, static_cast<std::uint32_t>(module.size()), BASSMOD_LOAD_SURROUND));
    ASSERT_TRUE(player->play());
    EXPECT_EQ(pull(rate), fromFile);
}

TEST_F(PlayerTest, SilentUntilPlayedThenOnceAndSilentAgain) {
    initialise();
    const auto expectSilence = [&](const char* when) {
        const auto quiet = capture->pull(4096);
        EXPECT_TRUE(silent(quiet.data(), quiet.size())) << when;
    };
    expectSilence("before loading");
    EXPECT_EQ(player->cpu(), 0.0f);
    ASSERT_TRUE(loadFile(modulePath));
    expectSilence("loaded, not played");
    EXPECT_EQ(player->cpu(), 0.0f);

    ASSERT_TRUE(player->play());
    const std::size_t songFrames = referenceRender(module, true).size() / 2;
    const auto played = pull(songFrames + 5 * rate);
    EXPECT_FALSE(silent(played.data(), 2 * songFrames));
    EXPECT_TRUE(silent(played.data() + 2 * songFrames, played.size() - 2 * songFrames)) << "played more than once";
    EXPECT_EQ(player->cpu(), 0.0f);

    // Play starts from the beginning, after the end and while playing.
    ASSERT_TRUE(player->play());
    const auto first = pull(rate / 2);
    EXPECT_EQ(std::vector<std::int16_t>(played.begin(), played.begin() + rate), first);
    EXPECT_GT(player->cpu(), 0.0f);
    EXPECT_LT(player->cpu(), 100.0f);
    ASSERT_TRUE(player->play());
    EXPECT_EQ(pull(rate / 2), first);

    // Free, and a load over a playing module, silence the old one at once.
    ASSERT_TRUE(player->free());
    expectSilence("after free");
    EXPECT_EQ(player->cpu(), 0.0f);
    ASSERT_TRUE(loadFile(modulePath));
    ASSERT_TRUE(player->play());
    pull(2048);
    ASSERT_TRUE(loadBytes(module));
    expectSilence("after a reload");
}

// A device that goes away and comes back: no load is read meanwhile, the module goes on from
// the frame it had reached, and the output was told the module's title to show.
TEST_F(PlayerTest, AnInterruptionReadsNoLoadAndGoesOnWhereItWas) {
    initialise();
    ASSERT_TRUE(loadFile(modulePath));
    ASSERT_TRUE(player->play());
    EXPECT_EQ(capture->title(), "tiny");
    const auto reference = referenceRender(module, true, rate / 2);
    const auto before = pull(rate / 4);
    EXPECT_GT(player->cpu(), 0.0f);
    capture->interrupt();
    EXPECT_EQ(player->cpu(), 0.0f);
    const auto after = pull(rate / 4);
    EXPECT_GT(player->cpu(), 0.0f);
    ASSERT_EQ(reference.size(), before.size() + after.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), reference.begin()));
    EXPECT_TRUE(std::equal(after.begin(), after.end(), reference.begin() + static_cast<long>(before.size())));
}

// The test's own module with and without surround, and the first two seconds of the disk's.
TEST_F(PlayerTest, PlaysExactlyWhatLibopenmptRenders) {
    auto modules = diskModules();
#ifdef BASSMOD_TEST_HAVE_MODS
    ASSERT_FALSE(modules.empty());
#endif
    initialise();
    bool sawIt = modules.empty(), sawS3m = modules.empty();
    modules.insert(modules.begin(), {modulePath, modulePath});
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const auto& path = modules[i];
        const bool surround = i != 1;
        const std::string ext = path.extension().string();
        sawIt |= ext == ".IT" || ext == ".it";
        sawS3m |= i > 1 && (ext == ".S3M" || ext == ".s3m");
        ASSERT_TRUE(loadFile(path, surround ? BASSMOD_LOAD_SURROUND : 0)) << path << " code " << player->errorCode();
        ASSERT_TRUE(player->play());
        const auto reference = referenceRender(readBytes(path), surround, 2 * rate);
        const auto played = pull(reference.size() / 2);
        EXPECT_FALSE(silent(played.data(), played.size())) << path;
        EXPECT_LE(maxDifference(played.data(), reference.data(), reference.size()), 1)
            << path << " surround " << surround;
    }
    EXPECT_TRUE(sawIt);
    EXPECT_TRUE(sawS3m);
}

// --- Resources ---------------------------------------------------------------------------------

TEST_F(PlayerTest, ThousandLoadPlayFreeCyclesKeepMemoryFlat) {
    initialise();
    std::vector<std::filesystem::path> files{modulePath};
    for (const auto& path : diskModules()) files.push_back(path);
    std::vector<std::vector<std::uint8_t>> contents;
    for (const auto& path : files) contents.push_back(readBytes(path));

    auto cycle = [&](int i) {
        const std::size_t which = static_cast<std::size_t>(i) % files.size();
        ASSERT_TRUE(i % 2 ? loadFile(files[which]) : loadBytes(contents[which]));
        ASSERT_TRUE(player->play());
        capture->pull(2048);
        ASSERT_TRUE(player->free());
    };
#ifdef __SANITIZE_THREAD__
    // ThreadSanitizer's allocator makes every cycle slow; its race check needs only a few.
    constexpr int cycles = 100;
#else
    constexpr int cycles = 1000;
#endif
    for (int i = 0; i < 20; ++i) cycle(i);
    const long before = residentBytes();
    for (int i = 0; i < cycles; ++i) cycle(i);
    const long after = residentBytes();
    std::cout << "RSS before " << cycles << " cycles: " << before / 1024 << " KiB, after: " << after / 1024 << " KiB\n";
    RecordProperty("rss_before_kib", std::to_string(before / 1024));
    RecordProperty("rss_after_kib", std::to_string(after / 1024));
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LT(after - before, 2L * 1024 * 1024);
#else
    // AddressSanitizer holds freed memory in quarantine, so resident size says nothing here;
    // its leak check at exit does the job instead.
#endif
}

// --- CPU meter ---------------------------------------------------------------------------------

TEST(CpuMeter, RenderTimeOverAboutTheLastSecondOfAudio) {
    CpuMeter meter;
    EXPECT_EQ(meter.percent(), 0.0f);
    meter.add(25'000'000, 100, 1000); // 25 ms to render 100 ms
    EXPECT_FLOAT_EQ(meter.percent(), 25.0f);
    meter.add(5'000'000, 100, 1000);
    EXPECT_FLOAT_EQ(meter.percent(), 15.0f);
    meter.reset();
    EXPECT_EQ(meter.percent(), 0.0f);

    meter.add(50'000'000, 100, 1000);
    for (int i = 0; i < 9; ++i) meter.add(0, 100, 1000);
    EXPECT_FLOAT_EQ(meter.percent(), 5.0f);
    meter.add(0, 100, 1000); // the first slice is now older than a second
    EXPECT_EQ(meter.percent(), 0.0f);

    for (int i = 0; i < 1000; ++i) meter.add(1'000'000, 10, 1000); // 1 ms for each 10 ms
    EXPECT_NEAR(meter.percent(), 10.0f, 0.01f);
}

} // namespace
} // namespace bassmod::test
