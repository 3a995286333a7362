// Start-up: what the window does before it is first shown, and the ways it can end there.
#include "PlayerFixture.h"

namespace playertest {
namespace {

using StartupTest = PlayerFixture;

TEST_F(StartupTest, CallsTheLibraryInOrderAndStartsTheFirstTune) {
    for (forms::Label* m : controls.markers) m->setVisible(true);
    state().elapsedSeconds = 33;
    controls.lbl1->setVisible(false);
    ASSERT_TRUE(player->Form_Load());

    const Log expected = {
        "GetVersion",
        "GetVersion",
        "Init(-1,44100,0)",
        "SetCurrentDirectory(" + kProgramDir + ")",
        loadCall("HGLASS.IT"),
        "MusicPlay",
    };
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(box.shown.empty());
    expectShowing("0", "191", "0");
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c1"});
    EXPECT_EQ(state().trackIndex, 0);
    EXPECT_EQ(state().trackFile, "HGLASS.IT");
    EXPECT_EQ(state().trackLength, 191);
    EXPECT_EQ(state().isPlaying, player::kTrue);
    EXPECT_FALSE(btnExit.Visible());
    EXPECT_FALSE(btnInfo.Visible());
    EXPECT_EQ(state().elapsedSeconds, 0);
    EXPECT_TRUE(controls.lbl1->Visible());
    EXPECT_EQ(controls.lbl1->Caption(), "Velsmoor, Part I [Orvantis]");

    struct Expect {
        forms::Timer* timer;
        int interval;
        bool enabled;
    };
    for (const Expect& e : {Expect{&Timer1, 30, true}, Expect{&Timer2, 75, false}, Expect{&Timer3, 5500, true},
             Expect{&Timer4, 75, true}, Expect{&tmrBass, 1000, true}}) {
        SCOPED_TRACE(e.timer->name());
        EXPECT_EQ(e.timer->Interval(), e.interval);
        EXPECT_EQ(e.timer->Enabled(), e.enabled);
        EXPECT_EQ(clock.isArmed(*e.timer), e.enabled);
    }
}

TEST_F(StartupTest, FirstTickShowsOneSecond) {
    startUp();
    seconds(1);
    expectShowing("0", "191", "1");
    EXPECT_TRUE(log.empty()) << "counting must not call the library";
}

struct WrongVersion {
    std::uint32_t version;
    const char* reads;
};

void PrintTo(const WrongVersion& v, std::ostream* os) { *os << v.reads; }

class WrongVersionTest : public PlayerFixture, public ::testing::WithParamInterface<WrongVersion> {};

TEST_P(WrongVersionTest, ReportsAndEndsBeforeInitialising) {
    SCOPED_TRACE(GetParam().reads);
    library.version = GetParam().version;
    library.lastError = -1;
    std::string titleAtBox;
    box.whileOpen = [&] { titleAtBox = controls.lbl1->Caption(); };

    EXPECT_FALSE(player->Form_Load());

    const Log expected = {"GetVersion", "GetVersion", "ErrorGetCode",
        "Box(Error): BASSMOD version 1.6 was not loaded\r\n\r\nError Code : -1\r\n"
        "Some Other Mystery Error"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(titleAtBox, "Velsmoor, Part I [Orvantis]") << "the title is set before the check";
    EXPECT_EQ(state().isPlaying, player::kFalse);
}

INSTANTIATE_TEST_SUITE_P(Versions, WrongVersionTest,
    ::testing::Values(WrongVersion{0x00070001, "1.7"}, WrongVersion{0x00000002, "2.0"},
        WrongVersion{0x003C0001, "1.60"}, WrongVersion{0x00010006, "6.1"}));

TEST_F(StartupTest, FailedInitReportsAndEndsWithoutReadingMods) {
    library.initResult = 0;
    EXPECT_FALSE(player->Form_Load());
    const Log expected = {"GetVersion", "GetVersion", "Init(-1,44100,0)", "ErrorGetCode",
        "Box(Error): Can't initialize digital sound system\r\n\r\n"
        "Error Code : 3\r\nCan't Find a Free Sound Driver"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(state().isPlaying, player::kFalse);
}

TEST_F(StartupTest, TicksWhileTheFatalBoxIsUpLoadNothing) {
    // The real box runs its own event loop, so live timers keep ticking under it.
    library.initResult = 0;
    // Long enough for the first track's stored length to run out under the box.
    box.whileOpen = [&] { seconds(200); };
    EXPECT_FALSE(player->Form_Load());
    for (const std::string& entry : log)
        EXPECT_TRUE(entry.rfind("MusicLoad", 0) == std::string::npos && entry != "MusicFree") << entry;
}

TEST_F(StartupTest, UnreachableLibraryLeavesStartUpAtTheFirstCall) {
    library.throwEverywhere = true;
    EXPECT_THROW(player->Form_Load(), player::LibraryError);
    EXPECT_EQ(log, Log{"GetVersion"});
    EXPECT_TRUE(box.shown.empty()) << "the window reports it, not the error box of the player";
}

TEST_F(StartupTest, FailedFirstLoadStillOpensTheWindow) {
    library.missingFiles = {kProgramDir + "/mods/HGLASS.IT"};
    EXPECT_TRUE(player->Form_Load());
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_TRUE(Timer1.Enabled());
    EXPECT_TRUE(Timer3.Enabled());
    expectShowing("0", "191", "0");
}

} // namespace
} // namespace playertest
