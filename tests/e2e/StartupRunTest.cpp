// The real program against bad input of every kind, one row each: the boxes it shows (with
// the library's code), whether it goes on or ends, and with which status.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "ProgramRun.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

std::string replaceDir(std::string s, const std::string& dir) {
    for (std::size_t at = s.find("$DIR"); at != std::string::npos; at = s.find("$DIR", at)) s.replace(at, 4, dir);
    return s;
}

const std::string kCantLoad = "Can't Load Music\n\nError Code : ";
const std::string kCantPlay = "Can't play music\n\nError Code : 5\nInvalid Handle\n";
const std::string kNotOpened = kCantLoad + "2\nCan't Open the File\n";
const std::string kNotAModule = kCantLoad + "6\nUnsupported Format\n";
const std::string kLibraryUnusable = "The module library could not be used.\n\n";
const std::vector<std::string> kStartCalls = {"GetVersion", "GetVersion", "Init -1 44100 0"};

// What replaces the first tune's file before the start.
using Prepare = void (*)(const std::string& tuneFile);

void removeTune(const std::string& f) { fs::remove(f); }
void emptyTune(const std::string& f) {
    fs::remove(f);
    std::ofstream{f};
}
void truncateTune(const std::string& f) { fs::resize_file(f, 3000); }
void directoryForTune(const std::string& f) {
    fs::remove(f);
    fs::create_directory(f);
}
void fifoForTune(const std::string& f) {
    fs::remove(f);
    ::mkfifo(f.c_str(), 0644);
}
void hugeTune(const std::string& f) { fs::resize_file(f, 200u << 20); } // sparse: no disk used
void noiseForTune(const std::string& f) {
    std::ofstream out(f, std::ios::binary | std::ios::trunc);
    std::uint32_t x = 2463534242u;
    for (int i = 0; i < 100000; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out.put(static_cast<char>(x));
    }
}

struct BadInput {
    const char* name;
    const char* library;                 // a fake's name, "real", or nullptr for none
    Prepare prepare;                     // nullptr: the disk's own first tune
    std::vector<std::string> boxes;      // each box begins so; "$DIR" is the program's folder
    bool goesOn;                         // false: ends with a non-zero status and no window
    std::vector<std::string> firstCalls; // a fake's first calls
    std::string folderName = "disk";
    EnvChanges env = {};
    std::string stderrHolds = "";
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

// Every run copies the program and its music (some 20 MB) into a scratch folder: all of it
// must go afterwards, whatever bytes the folder's name holds.
TEST(ScratchFolder, IsRemovedWithEverythingInIt) {
    for (const std::string name : {"disk", "v\xff\xfe dir"}) {
        std::string scratch;
        {
            ProgramFolder folder(name);
            folder.addMods();
            scratch = fs::path(folder.path()).parent_path().string();
            ASSERT_TRUE(fs::exists(folder.path() + "/mods/HGLASS.IT"));
        }
        EXPECT_FALSE(fs::exists(scratch)) << scratch;
    }
}

// A Wayland display that answers (nothing ever speaks on it) beside a program whose Qt finds
// no platform plugins (its qt.conf points at an empty folder): Qt's Wayland plugin is missing.
int waylandListener = -1;
void waylandWithoutPlugin(const std::string& tuneFile) {
    const std::string dir = fs::path(tuneFile).parent_path().parent_path().string();
    std::ofstream(dir + "/qt.conf") << "[Paths]\nPlugins=no-plugins-here\n";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir + "/wayland-0";
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    waylandListener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(waylandListener, 0);
    ASSERT_EQ(::bind(waylandListener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(waylandListener, 4), 0);
}

class BadInputRun : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputRun, ShowsItsBoxesAndGoesOnOrEnds) {
    const BadInput& c = GetParam();
    ProgramFolder folder(c.folderName);
    if (c.library && std::string(c.library) == "real") folder.addRealLibrary();
    else if (c.library) folder.addFakeLibrary(c.library);
    folder.addMods();
    if (c.prepare) c.prepare(folder.path() + "/mods/HGLASS.IT");

    EnvChanges env = c.env;
    for (auto& [name, value] : env)
        if (value) value = replaceDir(*value, folder.path());
    // A library of that name elsewhere on the search path must never be taken instead.
    env.emplace("LD_LIBRARY_PATH", std::string(E2E_FAKES_DIR) + "/ok");
    // Until every box and the fake's first calls are there, however slow the build.
    const RunResult r = folder.run(1500, env, [&](const std::string& err) {
        return boxesIn(err).size() >= c.boxes.size() && readLines(folder.callLog()).size() >= c.firstCalls.size();
    });

    if (c.goesOn) {
        EXPECT_FALSE(r.finished) << "the program goes on: " << r.stderrText;
    } else {
        ASSERT_TRUE(r.finished) << r.stderrText;
        // A status of its own, not a crash (-1) nor an abort.
        EXPECT_GT(r.exitCode, 0);
        EXPECT_LT(r.exitCode, 128);
    }
    ASSERT_EQ(r.boxes.size(), c.boxes.size()) << r.stderrText;
    for (std::size_t i = 0; i < c.boxes.size(); ++i) {
        const std::string expected = replaceDir(c.boxes[i], folder.path());
        EXPECT_TRUE(startsWith(r.boxes[i], expected)) << "box " << i << ":\n"
                                                      << r.boxes[i] << "expected:\n"
                                                      << expected;
    }
    if (waylandListener >= 0) {
        ::close(waylandListener);
        waylandListener = -1;
    }
    if (!c.stderrHolds.empty()) {
        const std::string holds = replaceDir(c.stderrHolds, folder.path());
        EXPECT_NE(r.stderrText.find(holds), std::string::npos) << r.stderrText;
    }
    if (startsWith(c.stderrHolds, "No display")) {
        EXPECT_TRUE(startsWith(r.stderrText, "No display") && r.stderrText.find('\n') == r.stderrText.size() - 1)
            << "one line and nothing else:\n"
            << r.stderrText;
    }

    std::vector<std::string> first = c.firstCalls;
    for (auto& call : first) call = replaceDir(call, folder.path());
    const std::vector<std::string> got(r.libraryCalls.begin(),
        r.libraryCalls.begin() + static_cast<long>(std::min(first.size(), r.libraryCalls.size())));
    EXPECT_EQ(got, first);
    if (!c.goesOn) {
        const bool loaded = std::any_of(r.libraryCalls.begin(), r.libraryCalls.end(),
            [](const std::string& s) { return startsWith(s, "MusicLoad"); });
        EXPECT_FALSE(loaded) << "mods/ is never read when start-up ends";
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadInputRun,
    ::testing::Values(
        BadInput{"GoodLibrary", "ok", nullptr, {}, true,
            {"GetVersion", "GetVersion", "Init -1 44100 0", "MusicLoad 0 $DIR/mods/HGLASS.IT 0 0 512", "MusicPlay"}},
        // The first tune's file, read by the real library: two boxes, then silent counting.
        BadInput{"MissingTune", "real", removeTune, {kNotOpened, kCantPlay}, true, {}},
        BadInput{"EmptyFile", "real", emptyTune, {kNotAModule, kCantPlay}, true, {}},
        // The decoder plays what is there of a cut module.
        BadInput{"TruncatedModule", "real", truncateTune, {}, true, {}},
        BadInput{"NoiseBytes", "real", noiseForTune, {kNotAModule, kCantPlay}, true, {}},
        BadInput{"DirectoryUnderTheName", "real", directoryForTune, {kNotOpened, kCantPlay}, true, {}},
        // Opening a FIFO must not wait for a writer.
        BadInput{"FifoUnderTheName", "real", fifoForTune, {kNotOpened, kCantPlay}, true, {}},
        // Larger than any module: refused before it is read.
        BadInput{"HugeFile", "real", hugeTune, {kNotAModule, kCantPlay}, true, {}},
        BadInput{"FakeFailsEveryLoad", "loadfail", nullptr, {kNotOpened}, true,
            {"GetVersion", "GetVersion", "Init -1 44100 0", "MusicLoad 0 $DIR/mods/HGLASS.IT 0 0 512", "ErrorGetCode"}},
        // The library and the start.
        BadInput{"MissingLibrary", nullptr, nullptr,
            {kLibraryUnusable + "Can't load the module library $DIR/libbassmod.so: "
                                "cannot open shared object file: No such file or directory"},
            false, {}},
        BadInput{"LibraryWithoutMusicLoad", "noload", nullptr,
            {kLibraryUnusable + "The module library $DIR/libbassmod.so is missing function "
                                "BASSMOD_MusicLoad\n"},
            false, {}},
        BadInput{"LibraryWithoutGetCPU", "nocpu", nullptr,
            {kLibraryUnusable + "The module library $DIR/libbassmod.so is missing function "
                                "BASSMOD_GetCPU\n"},
            false, {}},
        BadInput{"WrongVersion", "version17", nullptr,
            {"BASSMOD version 1.6 was not loaded\n\nError Code : 0\nAll is OK\n"}, false,
            {"GetVersion", "GetVersion", "ErrorGetCode"}},
        BadInput{"FailedInit", "initfail", nullptr,
            {"Can't initialize digital sound system\n\nError Code : 3\n"
             "Can't Find a Free Sound Driver\n"},
            false, {"GetVersion", "GetVersion", "Init -1 44100 0", "ErrorGetCode"}},
        BadInput{"NoDisplay", "ok", nullptr, {}, false, {}, "disk",
            {{"QT_QPA_PLATFORM", std::nullopt}, {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}},
            "No display: neither DISPLAY nor WAYLAND_DISPLAY is set. To run the disk "
            "without a display, start it with ./scripts/run.sh"},
        // Displays that are named but cannot be used: one line each, never Qt's abort.
        BadInput{"XDisplayWithNoServer", "ok", nullptr, {}, false, {}, "disk",
            {{"QT_QPA_PLATFORM", std::nullopt}, {"DISPLAY", ":59173"}, {"WAYLAND_DISPLAY", std::nullopt}},
            "No display: the X display \":59173\" (DISPLAY) could not be reached. "
            "Correct DISPLAY or WAYLAND_DISPLAY"},
        BadInput{"WaylandDisplayWithNoCompositor", "ok", nullptr, {}, false, {}, "disk",
            {{"QT_QPA_PLATFORM", std::nullopt}, {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", "$DIR/wayland-0"}},
            "No display: the Wayland display \"$DIR/wayland-0\" (WAYLAND_DISPLAY) does "
            "not answer."},
        BadInput{"WaylandWithoutQtWaylandPlugin", "ok", waylandWithoutPlugin, {}, false, {}, "disk",
            {{"QT_QPA_PLATFORM", std::nullopt}, {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", "$DIR/wayland-0"}},
            "No display: the Wayland display \"$DIR/wayland-0\" answers, but Qt's "
            "Wayland platform plugin is not installed. Install the package qt6-wayland"},
        BadInput{"NeitherDisplayAnswers", "ok", nullptr, {}, false, {}, "disk",
            {{"QT_QPA_PLATFORM", std::nullopt}, {"DISPLAY", ":59173"}, {"WAYLAND_DISPLAY", "$DIR/wayland-0"}},
            "(WAYLAND_DISPLAY) does not answer; the X display \":59173\" (DISPLAY) could "
            "not be reached."},
        // The program's folder, taken as the system's bytes.
        BadInput{"FolderNameNotUtf8", "ok", nullptr, {}, true,
            {"GetVersion", "GetVersion", "Init -1 44100 0", "MusicLoad 0 $DIR/mods/HGLASS.IT 0 0 512", "MusicPlay"},
            "v\xff\xfe dir"},
        BadInput{"FolderNameWithSpacesAndUmlauts", "ok", nullptr, {}, true,
            {"GetVersion", "GetVersion", "Init -1 44100 0", "MusicLoad 0 $DIR/mods/HGLASS.IT 0 0 512", "MusicPlay"},
            "Mus ik \xc3\xa4 \xe6\x97\xa5"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
