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

// A start-up that ends: one box, a non-zero status, no window left running.
struct FatalStart {
    const char* name;
    const char* fake;                   // nullptr: no library file in the folder
    std::string boxStart;               // the box begins with this ("" : see boxHolds)
    std::vector<std::string> boxHolds;  // "$DIR" stands for the program's folder
    std::vector<std::string> firstCalls;
    bool loads;                         // whether mods/ was read
};

void PrintTo(const FatalStart& c, std::ostream* os) { *os << c.name; }

class StartupEnds : public ::testing::TestWithParam<FatalStart> {};

TEST_P(StartupEnds, WithItsBoxAndANonZeroStatus) {
    const FatalStart& c = GetParam();
    ProgramFolder folder;
    if (c.fake) folder.addFakeLibrary(c.fake);
    folder.addMods();
    // A library of that name elsewhere on the search path must not be taken instead.
    const RunResult r = folder.run(10000, {{"LD_LIBRARY_PATH", std::string(E2E_FAKES_DIR) + "/ok"}});
    ASSERT_TRUE(r.finished) << r.stderrText;
    EXPECT_NE(r.exitCode, 0);
    ASSERT_EQ(r.boxes.size(), 1u) << r.stderrText;
    EXPECT_TRUE(startsWith(r.boxes[0], c.boxStart)) << r.boxes[0];
    for (std::string part : c.boxHolds) {
        if (startsWith(part, "$DIR")) part = folder.path() + part.substr(4);
        EXPECT_NE(r.boxes[0].find(part), std::string::npos) << part << " not in " << r.boxes[0];
    }
    EXPECT_EQ(firstCalls(r, c.firstCalls.size()), c.firstCalls);
    if (c.firstCalls.empty()) {
        EXPECT_TRUE(r.libraryCalls.empty());
    }
    const auto inits = [](const std::vector<std::string>& calls) { return std::count(calls.begin(), calls.end(), "Init -1 44100 0"); };
    EXPECT_EQ(inits(r.libraryCalls), inits(c.firstCalls));
    EXPECT_EQ(anyLoad(r), c.loads);
}

INSTANTIATE_TEST_SUITE_P(
    Fakes, StartupEnds,
    ::testing::Values(
        FatalStart{"WrongVersion", "version17",
                   "BASSMOD version 1.6 was not loaded\n\nError Code : 0\nAll is OK\n", {},
                   {"GetVersion", "GetVersion", "ErrorGetCode"}, false},
        FatalStart{"FailedInit", "initfail",
                   "Can't initialize digital sound system\n\nError Code : 3\nCan't Find a Free Sound Driver\n", {},
                   {"GetVersion", "GetVersion", "Init -1 44100 0", "ErrorGetCode"}, false},
        FatalStart{"MissingLibrary", nullptr, "", {"$DIR/libbassmod.so", "No such file"}, {}, false},
        // Start-up itself does not need the CPU query: the first scroller tick finds it missing.
        FatalStart{"MissingFunction", "nocpu", "", {"$DIR/libbassmod.so", "missing function BASSMOD_GetCPU"},
                   {"GetVersion", "GetVersion", "Init -1 44100 0"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

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
