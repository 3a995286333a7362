// The module library file bound at run time: found beside the program, opened at the first
// call, each operation looked up when first used.
#include <gtest/gtest.h>

#include "PlayerFixture.h"
#include "player/DynamicModuleLibrary.h"

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
}

TEST(DynamicModuleLibrary, MissingFunctionRaisesOnlyWhereItIsUsed) {
    player::DynamicModuleLibrary library(kStubDir);
    EXPECT_EQ(library.ErrorGetCode(), -7);
    try {
        library.GetCPU();
        FAIL() << "no error";
    } catch (const player::LibraryError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find(kStubDir + "/libbassmod.so"), std::string::npos) << what;
        EXPECT_NE(what.find("missing function BASSMOD_GetCPU"), std::string::npos) << what;
    }
    EXPECT_EQ(library.GetVersion(), 0x00060001u) << "the other operations still work";
}

} // namespace
} // namespace playertest
