// The program's start against fake module libraries: the right box, a non-zero status, and
// nothing loaded from mods/ when start-up ends.
#include <algorithm>

#include <gtest/gtest.h>

#include "ProgramRun.h"

namespace e2e {
namespace {

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

bool anyLoad(const RunResult& r) {
    return std::any_of(r.libraryCalls.begin(), r.libraryCalls.end(),
                       [](const std::string& c) { return startsWith(c, "MusicLoad"); });
}

std::vector<std::string> firstCalls(const RunResult& r, std::size_t n) {
    return {r.libraryCalls.begin(),
            r.libraryCalls.begin() + static_cast<long>(std::min(n, r.libraryCalls.size()))};
}

TEST(StartupRun, WrongVersionEndsAfterItsBox) {
    ProgramFolder folder;
    folder.addFakeLibrary("version17");
    folder.addMods();
    const RunResult r = folder.run(10000);
    ASSERT_TRUE(r.finished) << r.stderrText;
    EXPECT_NE(r.exitCode, 0);
    ASSERT_EQ(r.boxes.size(), 1u) << r.stderrText;
    EXPECT_TRUE(startsWith(r.boxes[0],
                           "BASSMOD version 1.6 was not loaded\n\nError Code : 0\nAll is OK\n"))
        << r.boxes[0];
    EXPECT_EQ(firstCalls(r, 3), (std::vector<std::string>{"GetVersion", "GetVersion",
                                                          "ErrorGetCode"}));
    EXPECT_EQ(std::count(r.libraryCalls.begin(), r.libraryCalls.end(), "Init -1 44100 0"), 0);
    EXPECT_FALSE(anyLoad(r));
}

TEST(StartupRun, FailedInitEndsWithoutReadingMods) {
    ProgramFolder folder;
    folder.addFakeLibrary("initfail");
    folder.addMods();
    const RunResult r = folder.run(10000);
    ASSERT_TRUE(r.finished) << r.stderrText;
    EXPECT_NE(r.exitCode, 0);
    ASSERT_EQ(r.boxes.size(), 1u) << r.stderrText;
    EXPECT_TRUE(startsWith(r.boxes[0], "Can't initialize digital sound system\n\n"
                                       "Error Code : 3\nCan't Find a Free Sound Driver\n"))
        << r.boxes[0];
    EXPECT_EQ(firstCalls(r, 4), (std::vector<std::string>{"GetVersion", "GetVersion",
                                                          "Init -1 44100 0", "ErrorGetCode"}));
    EXPECT_FALSE(anyLoad(r));
}

TEST(StartupRun, MissingLibraryNamesTheFileAndEnds) {
    ProgramFolder folder;
    folder.addMods();
    // A library of that name elsewhere on the search path must not be taken instead.
    const RunResult r =
        folder.run(10000, {{"LD_LIBRARY_PATH", std::string(E2E_FAKES_DIR) + "/ok"}});
    ASSERT_TRUE(r.finished) << r.stderrText;
    EXPECT_NE(r.exitCode, 0);
    ASSERT_EQ(r.boxes.size(), 1u) << r.stderrText;
    EXPECT_NE(r.boxes[0].find(folder.path() + "/libbassmod.so"), std::string::npos) << r.boxes[0];
    EXPECT_NE(r.boxes[0].find("No such file"), std::string::npos) << r.boxes[0];
    EXPECT_TRUE(r.libraryCalls.empty());
}

TEST(StartupRun, MissingFunctionIsReportedAtItsFirstUse) {
    ProgramFolder folder;
    folder.addFakeLibrary("nocpu");
    folder.addMods();
    const RunResult r = folder.run(10000);
    ASSERT_TRUE(r.finished) << r.stderrText;
    EXPECT_NE(r.exitCode, 0);
    ASSERT_EQ(r.boxes.size(), 1u) << r.stderrText;
    EXPECT_NE(r.boxes[0].find(folder.path() + "/libbassmod.so"), std::string::npos) << r.boxes[0];
    EXPECT_NE(r.boxes[0].find("missing function BASSMOD_GetCPU"), std::string::npos)
        << r.boxes[0];
    EXPECT_TRUE(anyLoad(r)) << "start-up itself does not need the CPU query";
}

TEST(StartupRun, GoodLibraryStartsTheFirstTuneFromTheProgramsFolder) {
    ProgramFolder folder;
    folder.addFakeLibrary("ok");
    folder.addMods();
    const RunResult r = folder.run(1500);
    EXPECT_FALSE(r.finished) << "the program keeps running: " << r.stderrText;
    EXPECT_TRUE(r.boxes.empty()) << r.stderrText;
    EXPECT_EQ(firstCalls(r, 5),
              (std::vector<std::string>{"GetVersion", "GetVersion", "Init -1 44100 0",
                                        "MusicLoad 0 " + folder.path() + "/mods/HGLASS.IT 0 0 512",
                                        "MusicPlay"}));
}

TEST(StartupRun, UnloadableFirstTuneIsReportedAndTheWindowStays) {
    ProgramFolder folder;
    folder.addFakeLibrary("loadfail");
    const RunResult r = folder.run(1500);
    EXPECT_FALSE(r.finished) << r.stderrText;
    ASSERT_GE(r.boxes.size(), 1u) << r.stderrText;
    EXPECT_TRUE(startsWith(r.boxes[0], "Can't Load Music\n\nError Code : 2\nCan't Open the File\n"))
        << r.boxes[0];
}

} // namespace
} // namespace e2e
