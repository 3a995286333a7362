// The module library file bound at run time: found beside the program, opened at the first
// call with every operation looked up at once; and the program's folder it is found in.
#include <gtest/gtest.h>

#include "PlayerFixture.h"
#include "player/DynamicModuleLibrary.h"
#include "player/Launch.h"

#include <unistd.h>

#include <filesystem>

namespace playertest {
namespace {

const std::string kStubDir = STUB_LIBRARY_DIR;

TEST(DynamicModuleLibrary, MissingFileRaisesAtTheFirstCallNamingIt) {
    player::DynamicModuleLibrary library("/nonexistent/velsmoor");
    EXPECT_EQ(library.path(), "/nonexistent/velsmoor/libbassmod.so");
    try {
        library.GetVersion();
        FAIL() << "no error";
    } catch (const player::LibraryError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("/nonexistent/velsmoor/libbassmod.so"), std::string::npos) << what;
        EXPECT_NE(what.find("No such file"), std::string::npos) << what;
    }
    EXPECT_THROW(library.MusicFree(), player::LibraryError) << "and again at the next call";
}

TEST(DynamicModuleLibrary, PassesArgumentsAndResults) {
    player::DynamicModuleLibrary library(kStubDir);
    EXPECT_EQ(library.GetVersion(), 0x00060001u);
    EXPECT_EQ(library.Init(-1, 44100, 0), 1);
    EXPECT_EQ(library.Init(0, 44100, 0), 0);
    EXPECT_EQ(library.Init(-1, 48000, 0), 0);
    EXPECT_EQ(library.MusicLoad(0, "mods/STUB.IT", 0, 0, 512), 1);
    EXPECT_EQ(library.MusicLoad(0, "mods/STUB.IT", 0, 0, 0), 0);
    EXPECT_EQ(library.MusicLoad(0, "mods/OTHER.IT", 0, 0, 512), 0);
    EXPECT_EQ(library.MusicPlay(), 1);
    EXPECT_EQ(library.MusicFree(), 1);
    EXPECT_EQ(library.ErrorGetCode(), -7);
    EXPECT_FLOAT_EQ(library.GetCPU(), 1.5f);
}

// A library without one operation is not used at all: not even the version query runs, so
// start-up ends before anything else is asked of it.
TEST(DynamicModuleLibrary, MissingFunctionRaisesAtTheFirstCallWhateverItIs) {
    player::DynamicModuleLibrary library(kStubDir + "-noload");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            library.GetVersion();
            FAIL() << "no error";
        } catch (const player::LibraryError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(kStubDir + "-noload/libbassmod.so"), std::string::npos) << what;
            EXPECT_NE(what.find("missing function BASSMOD_MusicLoad"), std::string::npos) << what;
        }
    }
    EXPECT_THROW(library.MusicFree(), player::LibraryError);
}

// With the folder unknown the library would be looked up by a bare or root-relative name.
TEST(DynamicModuleLibrary, LoadsOnlyFromAnAbsoluteFolder) {
    for (const char* folder : {"", "bin", "./stub"}) {
        player::DynamicModuleLibrary library(folder);
        EXPECT_THROW(library.GetVersion(), player::LibraryError) << '"' << folder << '"';
    }
}

TEST(ProgramFolder, IsTheLinkTargetsFolderByteForByte) {
    namespace fs = std::filesystem;
    const std::string base = fs::temp_directory_path() / ("pf-" + std::to_string(::getpid()));
    const std::string folder = base + "/v\xff\xfe dir";
    fs::create_directories(folder);
    fs::create_symlink(folder + "/velsmoor", base + "/exe");
    EXPECT_EQ(player::programFolder((base + "/exe").c_str()), folder);
    EXPECT_THROW(player::programFolder((base + "/none").c_str()), std::runtime_error);
    fs::remove_all(base);
}

} // namespace
} // namespace playertest
