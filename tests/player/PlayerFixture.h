// The playback core standing in a bare window of its own controls, with a fake library, a
// recording error box and virtual time.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeModuleLibrary.h"
#include "forms/Controls.h"
#include "forms/Timer.h"
#include "player/Player.h"
#include "player/ReadOuts.h"
#include "player/TrackList.h"

namespace player {
struct PlayerTestAccess {
    static PlayerState& state(Player& p) { return p.state_; }
};
} // namespace player

namespace playertest {

// The controls of the bare window: those start-up sets going and the read-outs.
struct BareControls : player::PlayerControls, player::ReadOutLabels {};

inline const std::string kProgramDir = "/opt/velsmoor disk";

inline std::string loadCall(std::string_view file) {
    return "MusicLoad(0," + kProgramDir + "/mods/" + std::string(file) + ",0,0,512)";
}

class PlayerFixture : public ::testing::Test {
protected:
    PlayerFixture()
        : library(log), box(log), form("frmMain", 7800, 7470), btnExit(form.addPicture("btnExit", 6900, 120, 375, 375)),
          btnInfo(form.addPicture("btnInfo", 6400, 120, 375, 375)), Timer1(clock, "Timer1"), Timer2(clock, "Timer2"),
          Timer3(clock, "Timer3"), Timer4(clock, "Timer4"), tmrBass(clock, "tmrBass") {
        BareControls c;
        c.btnExit = &btnExit;
        c.btnInfo = &btnInfo;
        c.Timer1 = &Timer1;
        c.Timer2 = &Timer2;
        c.Timer3 = &Timer3;
        c.Timer4 = &Timer4;
        c.tmrBass = &tmrBass;
        c.lbl1 = &label("lbl1");
        c.lblTrackNro = &label("lblTrackNro");
        c.lblTrackNro2 = &label("lblTrackNro2");
        c.lblOrgTime = &label("lblOrgTime");
        c.lblOrgTime2 = &label("lblOrgTime2");
        c.lblTime = &label("lblTime");
        c.lblTime2 = &label("lblTime2");
        for (std::size_t i = 0; i < c.markers.size(); ++i) {
            c.markers[i] = &label("c" + std::to_string(i + 1));
            c.markers[i]->setCaption("*");
        }
        controls = c;

        player::Environment env;
        env.library = &library;
        env.errorBox = &box;
        env.clock = &clock;
        env.programDir = kProgramDir;
        env.setCurrentDirectory = [this](const std::string& dir) { log.push_back("SetCurrentDirectory(" + dir + ")"); };
        player = std::make_unique<player::Player>(env, controls);
        readOutView = std::make_unique<player::ReadOuts>(*player, controls);
        tmrBass.onTimer = [this] { player->tmrBass_Timer(); };
    }

    player::PlayerState& state() { return player::PlayerTestAccess::state(*player); }

    forms::Label& label(const std::string& name) {
        return form.addLabel(name, 120, 120 + 150 * static_cast<float>(form.labels().size()), 1200, 120);
    }

    // Starts the window the normal way and forgets what start-up did.
    void startUp() {
        ASSERT_TRUE(player->Form_Load());
        log.clear();
        box.shown.clear();
    }

    // One second of virtual time: one tick of the playback timer.
    void seconds(int n) {
        for (int i = 0; i < n; ++i) clock.advance(1000);
    }

    std::vector<std::string> visibleMarkers() const {
        std::vector<std::string> names;
        for (forms::Label* m : controls.markers)
            if (m->Visible()) names.push_back(m->name());
        return names;
    }

    // Everything the user sees of the playback state, for "nothing changed" checks.
    std::vector<std::string> readOuts() {
        std::vector<std::string> r;
        for (forms::Label* l : {controls.lblTrackNro, controls.lblTrackNro2, controls.lblOrgTime, controls.lblOrgTime2,
                 controls.lblTime, controls.lblTime2})
            r.push_back(l->name() + "=" + l->Caption());
        for (const std::string& m : visibleMarkers()) r.push_back("marker " + m);
        r.push_back(std::string("tmrBass ") + (tmrBass.Enabled() ? "on" : "off"));
        r.push_back("index " + std::to_string(state().trackIndex));
        r.push_back("elapsed " + std::to_string(state().elapsedSeconds));
        r.push_back("length " + std::to_string(state().trackLength));
        r.push_back("playing " + std::to_string(state().isPlaying));
        r.push_back("file " + state().trackFile);
        return r;
    }

    void expectShowing(const std::string& number, const std::string& length, const std::string& elapsed) {
        EXPECT_EQ(controls.lblTrackNro->Caption(), number);
        EXPECT_EQ(controls.lblTrackNro2->Caption(), number);
        EXPECT_EQ(controls.lblOrgTime->Caption(), length);
        EXPECT_EQ(controls.lblOrgTime2->Caption(), length);
        EXPECT_EQ(controls.lblTime->Caption(), elapsed);
        EXPECT_EQ(controls.lblTime2->Caption(), elapsed);
    }

    Log log;
    FakeModuleLibrary library;
    RecordingErrorBox box;
    forms::VirtualClock clock;
    forms::Form form;
    forms::Picture& btnExit;
    forms::Picture& btnInfo;
    forms::Timer Timer1, Timer2, Timer3, Timer4, tmrBass;
    BareControls controls;
    std::unique_ptr<player::Player> player;
    std::unique_ptr<player::ReadOuts> readOutView;
};

} // namespace playertest
