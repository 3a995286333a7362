// Moving between tracks: transport buttons, tune titles and the playback timer, on virtual time.
#include <algorithm>

#include "PlayerFixture.h"

namespace playertest {
namespace {

class NavigationTest : public PlayerFixture {
protected:
    void SetUp() override { startUp(); }

    // Puts the player on a track the way a user would, then forgets the calls.
    void goTo(std::int16_t index) {
        player->TuneClick(index);
        log.clear();
        box.shown.clear();
    }
};

TEST_F(NavigationTest, NextAndPrevStartTheNeighbouringTrack) {
    seconds(3);
    player->btnNext_Click();
    EXPECT_EQ(log, (Log{"MusicFree", loadCall("MWDRIFT.IT"), "MusicPlay"}));
    expectShowing("1", "230", "0");
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c2"});

    goTo(9);
    player->btnPrev_Click();
    EXPECT_EQ(log, (Log{"MusicFree", loadCall("1_SATRN.IT"), "MusicPlay"}));
    expectShowing("8", "196", "0");
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c9"});
}

// Prev on the first track, Next on the last, playing or stopped, and Play while playing.
TEST_F(NavigationTest, ButtonsAtTheEndsOfTheListChangeNothing) {
    const struct {
        std::int16_t track;
        bool stopped;
        void (player::Player::*click)();
    } cases[] = {{0, false, &player::Player::btnPrev_Click}, {0, true, &player::Player::btnPrev_Click},
        {16, false, &player::Player::btnNext_Click}, {16, true, &player::Player::btnNext_Click},
        {7, false, &player::Player::btnPlay_Click}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.track) + (c.stopped ? " stopped" : " playing"));
        goTo(c.track);
        seconds(4);
        if (c.stopped) player->btnStop_Click();
        log.clear();
        const auto before = readOuts();
        (player.get()->*c.click)();
        EXPECT_EQ(readOuts(), before);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(clock.isArmed(tmrBass), !c.stopped);
        seconds(1);
        if (!c.stopped) {
            EXPECT_EQ(controls.lblTime->Caption(), "5");
        }
    }
}

TEST_F(NavigationTest, StopBlanksTheReadOutsAndStopsCounting) {
    goTo(4);
    seconds(7);
    player->btnStop_Click();
    EXPECT_EQ(log, Log{"MusicFree"});
    expectShowing("...", "...", "...");
    EXPECT_EQ(state().isPlaying, player::kFalse);
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c5"}) << "the marker stays";
    EXPECT_EQ(state().trackIndex, 4);
    EXPECT_EQ(state().elapsedSeconds, 7);
    seconds(300);
    expectShowing("...", "...", "...");
    EXPECT_EQ(log, Log{"MusicFree"});
}

TEST_F(NavigationTest, StopThenPlayRestartsTheSameTrackAndNextPlaysAgain) {
    goTo(4);
    seconds(7);
    player->btnStop_Click();
    player->btnPlay_Click();
    EXPECT_EQ(log, (Log{"MusicFree", loadCall("LOWORBIT.S3M"), "MusicPlay"}));
    expectShowing("4", "271", "0");
    EXPECT_EQ(state().isPlaying, player::kTrue);
    seconds(1);
    expectShowing("4", "271", "1");

    player->btnStop_Click();
    log.clear();
    player->btnNext_Click();
    EXPECT_EQ(log, (Log{"MusicFree", loadCall("TYL.S3M"), "MusicPlay"}));
    EXPECT_EQ(state().isPlaying, player::kTrue);
    EXPECT_TRUE(clock.isArmed(tmrBass));
    seconds(1);
    expectShowing("5", "215", "1");
}

TEST_F(NavigationTest, EveryTitleStartsItsTrack) {
    for (int k = 16; k >= 0; --k) {
        SCOPED_TRACE(k);
        player->TuneClick(static_cast<std::int16_t>(k));
        seconds(2);
        log.clear();
        player->TuneClick(static_cast<std::int16_t>(k)); // the second click restarts the current track
        const auto& row = player::kTrackList[static_cast<std::size_t>(k)];
        EXPECT_EQ(log, (Log{"MusicFree", loadCall(row.file), "MusicPlay"}));
        expectShowing(std::to_string(k), std::to_string(row.length), "0");
        EXPECT_EQ(visibleMarkers(), std::vector<std::string>{std::string(row.markerLabel)});
    }
}

TEST_F(NavigationTest, ShortTrackAdvancesOnThe116thTick) {
    seconds(2);
    player->TuneClick(14);
    log.clear();
    seconds(115);
    expectShowing("14", "115", "115");
    EXPECT_TRUE(log.empty());
    seconds(1);
    EXPECT_EQ(log, (Log{"MusicFree", loadCall("PAWALMPL.S3M"), "MusicPlay"}));
    expectShowing("15", "399", "0");
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c16"});
    seconds(1);
    expectShowing("15", "399", "1");
}

// The observers hear of each change of track, and of none of the counted seconds; one that
// comes later does not take the place of the first, and one that went hears nothing more.
TEST_F(NavigationTest, AfterTheLastTrackComesTrackOneNotTheIntro) {
    goTo(16);
    std::vector<std::int16_t> told, toldSecond;
    player->listen([&](player::Change c) {
        if (c == player::Change::Transport) told.push_back(state().trackIndex);
    });
    int second = -1;
    second = player->listen([&](player::Change c) {
        if (c != player::Change::Transport) return;
        toldSecond.push_back(state().trackIndex);
        player->unlisten(second);
    });
    seconds(252);
    expectShowing("16", "252", "252");
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(told.empty());

    seconds(1); // the index goes back to the intro without a load
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(state().trackIndex, 0);
    expectShowing("16", "252", "252");
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c17"});

    seconds(1); // the intro's length is already counted: straight on to track 1
    EXPECT_EQ(log, (Log{"MusicFree", loadCall("MWDRIFT.IT"), "MusicPlay"}));
    expectShowing("1", "230", "0");
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c2"});
    EXPECT_EQ(told, (std::vector<std::int16_t>{0, 1}));
    EXPECT_EQ(toldSecond, (std::vector<std::int16_t>{0}));
}

TEST_F(NavigationTest, DuringTheWrapTickTheLengthIsTheIntros) {
    goTo(16);
    seconds(253);
    // The free call comes after the tick's length refresh and before the new track's number.
    std::string numberAtFree, lengthAtFree;
    library.onCall = [&](const std::string& entry) {
        if (entry != "MusicFree") return;
        numberAtFree = controls.lblTrackNro->Caption();
        lengthAtFree = controls.lblOrgTime2->Caption();
    };
    seconds(1);
    EXPECT_EQ(numberAtFree, "16");
    EXPECT_EQ(lengthAtFree, "191");
}

TEST_F(NavigationTest, MissingModuleGivesTwoBoxesThenCountsInSilence) {
    library.missingFiles = {kProgramDir + "/mods/FLICK.S3M"};
    player->TuneClick(14);
    const Log expected = {
        "MusicFree",
        loadCall("FLICK.S3M"),
        "ErrorGetCode",
        "Box(Error): Can't Load Music\r\n\r\nError Code : 2\r\nCan't Open the File",
        "MusicPlay",
        "ErrorGetCode",
        "Box(Error): Can't play music\r\n\r\nError Code : 5\r\nInvalid Handle",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(state().isPlaying, player::kTrue);
    EXPECT_TRUE(clock.isArmed(tmrBass));
    expectShowing("14", "115", "0");
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c15"});

    log.clear();
    seconds(115);
    expectShowing("14", "115", "115");
    EXPECT_TRUE(log.empty());
    seconds(1);
    EXPECT_EQ(log, (Log{"MusicFree", loadCall("PAWALMPL.S3M"), "MusicPlay"}));
    EXPECT_EQ(box.shown.size(), 2u);
}

TEST_F(NavigationTest, TicksUnderAnOpenBoxDoNotCount) {
    library.missingFiles = {kProgramDir + "/mods/TYL.S3M"};
    // The user takes three seconds over each box while the playback timer keeps running.
    box.whileOpen = [&] { seconds(3); };
    player->TuneClick(5);
    EXPECT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(std::count(log.begin(), log.end(), loadCall("TYL.S3M")), 1);
    expectShowing("5", "215", "0");
    box.whileOpen = nullptr;
    seconds(1);
    expectShowing("5", "215", "1");
}

TEST_F(NavigationTest, UnreachableFreeDoesNotStopAChangeOfTrack) {
    library.throwOnFree = true;
    player->btnNext_Click();
    expectShowing("1", "230", "0");
    player->btnStop_Click();
    expectShowing("...", "...", "...");
    player->TuneClick(3);
    expectShowing("3", "225", "0");
    seconds(226);
    EXPECT_EQ(state().trackIndex, 4);
    EXPECT_NO_THROW(player->freeModuleIgnoringErrors());
}

TEST_F(NavigationTest, LoadCallThatRaisesIsReportedAndPlaybackGoesOn) {
    library.throwOnLoad = true;
    player->btnNext_Click();
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].text.rfind("Can't Load Music\r\n", 0), 0u);
    EXPECT_EQ(box.shown[1].text.rfind("Can't play music\r\n", 0), 0u);
    expectShowing("1", "230", "0");
}

TEST_F(NavigationTest, LibraryGoneAfterStartUpStillNavigatesSilently) {
    library.throwEverywhere = true;
    EXPECT_NO_THROW(player->btnNext_Click());
    EXPECT_TRUE(box.shown.empty()) << "the error code cannot be asked for, so no box";
    expectShowing("1", "230", "0");
    EXPECT_EQ(state().isPlaying, player::kTrue);
    EXPECT_NO_THROW(seconds(231));
    EXPECT_EQ(state().trackIndex, 2);
}

} // namespace
} // namespace playertest
