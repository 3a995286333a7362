// Each fake library, opened the way the program opens the real one, answers as built.
#include "bassmod.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Fake {
    explicit Fake(const std::string& name)
        : handle(::dlopen((std::string(FAKES_DIR) + "/" + name + "/libbassmod.so").c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~Fake() {
        if (handle) ::dlclose(handle);
    }
    template <typename F>
    F* get(const char* symbol) const {
        return reinterpret_cast<F*>(::dlsym(handle, symbol));
    }

    void* handle;
};

struct Expected {
    const char* name;
    uint32_t version;
    int32_t initCode;
    int32_t loadCode;
    bool hasCpu;
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.name; }

class FakesTest : public ::testing::TestWithParam<Expected> {};

TEST_P(FakesTest, AnswersAsBuilt) {
    const Expected& e = GetParam();
    // With FAKE_BASSMOD_LOG set, each call leaves one line in the log.
    const auto log = std::filesystem::temp_directory_path() / ("fake-bassmod-" + std::to_string(::getpid()) + ".log");
    std::filesystem::remove(log);
    ::setenv("FAKE_BASSMOD_LOG", log.c_str(), 1);
    const Fake fake(e.name);
    ASSERT_NE(fake.handle, nullptr) << ::dlerror();
    auto version = fake.get<uint32_t()>("BASSMOD_GetVersion");
    auto init = fake.get<int32_t(int32_t, uint32_t, uint32_t)>("BASSMOD_Init");
    auto load = fake.get<int32_t(int32_t, const void*, uint32_t, uint32_t, uint32_t)>("BASSMOD_MusicLoad");
    auto play = fake.get<int32_t()>("BASSMOD_MusicPlay");
    auto musicFree = fake.get<int32_t()>("BASSMOD_MusicFree");
    auto code = fake.get<int32_t()>("BASSMOD_ErrorGetCode");
    auto cpu = fake.get<float()>("BASSMOD_GetCPU");
    ASSERT_TRUE(version && init && load && play && musicFree && code);

    EXPECT_EQ(version(), e.version);
    EXPECT_EQ(init(-1, 44100, 0) != 0, e.initCode == 0);
    EXPECT_EQ(code(), e.initCode);
    EXPECT_EQ(load(0, "/x/mods/A.IT", 0, 0, 512) != 0, e.loadCode == 0);
    EXPECT_EQ(code(), e.loadCode);
    EXPECT_NE(play(), 0);
    EXPECT_EQ(code(), 0);
    EXPECT_NE(musicFree(), 0);
    EXPECT_EQ(cpu != nullptr, e.hasCpu);
    if (cpu) {
        EXPECT_FLOAT_EQ(cpu(), 0.25f);
    }
    ::unsetenv("FAKE_BASSMOD_LOG");
    std::ifstream in(log);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(log);
    EXPECT_EQ(text,
        std::string("GetVersion\nInit -1 44100 0\nErrorGetCode\nMusicLoad 0 /x/mods/A.IT 0 0 512\nErrorGetCode\n"
                    "MusicPlay\nErrorGetCode\nMusicFree\n") +
            (e.hasCpu ? "GetCPU\n" : ""));
}

INSTANTIATE_TEST_SUITE_P(All, FakesTest,
    ::testing::Values(Expected{"ok", 0x00060001u, 0, 0, true}, Expected{"version17", 0x00070001u, 0, 0, true},
        Expected{"initfail", 0x00060001u, 3, 0, true}, Expected{"loadfail", 0x00060001u, 0, 2, true},
        Expected{"nocpu", 0x00060001u, 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
