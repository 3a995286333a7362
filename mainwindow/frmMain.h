// The main window: the skin with its picture buttons, read-outs, tune list, title strip and
// message line; the hover model of the buttons and the drag of the window by its skin.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "effects/Effects.h"
#include "forms/Controls.h"
#include "forms/Timer.h"
#include "mainwindow/DiskWindow.h"
#include "nfo/frmNfo.h"
#include "player/Environment.h"
#include "player/Player.h"
#include "player/ReadOuts.h"

namespace mainwindow {

inline constexpr float kWindowWidth = 7800;  // twips: 520 pixels
inline constexpr float kWindowHeight = 7470; // twips: 498 pixels

// One picture button: the lit image in front of its resting twin.
struct ButtonPair {
    forms::Picture* lit = nullptr;
    forms::Picture* resting = nullptr;
};

// The window's controls, by their names.
struct MainControls {
    forms::Picture* MainSkin = nullptr;
    ButtonPair prev, play, next, stop, info, exit;
    forms::Picture* Picture2 = nullptr;
    forms::Picture* Picture3 = nullptr;
    forms::Label* lbl1 = nullptr;
    forms::Label* lbl2 = nullptr;
    forms::Label* Label1 = nullptr;
    forms::Label* lblInfos = nullptr;
    forms::Label* lblTrackNro = nullptr;
    forms::Label* lblTrackNro2 = nullptr;
    forms::Label* lblOrgTime = nullptr;
    forms::Label* lblOrgTime2 = nullptr;
    forms::Label* lblTime = nullptr;
    forms::Label* lblTime2 = nullptr;
    forms::Label* lblCPU = nullptr;
    forms::Label* lblCPU2 = nullptr;
    forms::Label* lblModList = nullptr;
    forms::Label* ModListShadow = nullptr;
    forms::Label* TuneShadows = nullptr;
    std::array<forms::Label*, 17> tunes{};   // Intro, Tune1..Tune16
    std::array<forms::Label*, 17> markers{}; // c1..c17
    std::unique_ptr<forms::Timer> Timer1, Timer2, Timer3, Timer4, tmrBass;
};

// The drag of the window by its skin.
struct DragState {
    std::int16_t dragging = player::kFalse;
    float dragStartX = 0;
    float dragStartY = 0;
};

class frmMain final : public DiskWindow, private MainControls {
public:
    // fatal is told when a library error reaches a handler that does not handle it; the
    // program then reports it and ends.
    frmMain(player::Environment env, std::function<void(const std::string&)> fatal);
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    forms::Form& form() { return *form_; }
    player::Player& player() { return *player_; }
    effects::Effects& effects() { return *effects_; }
    nfo::frmNfo* nfoWindow() { return nfo_.get(); }

    // Start-up; false when the program has to end without showing the window.
    bool Form_Load();
    void Show();

    // Pointer handlers of the skin and the resting button images.
    void MainSkin_MouseDown(const forms::MouseEventArgs& e);
    void MainSkin_MouseMove(const forms::MouseEventArgs& e);
    void MainSkin_MouseUp(const forms::MouseEventArgs& e);
    void btnPrev_org_MouseMove(const forms::MouseEventArgs&) { light(prev); }
    void btnPlay_org_MouseMove(const forms::MouseEventArgs&) { light(play); }
    void btnNext_org_MouseMove(const forms::MouseEventArgs&) { light(next); }
    void btnStop_org_MouseMove(const forms::MouseEventArgs&) { light(stop); }
    void btnInfo_org_MouseMove(const forms::MouseEventArgs&) { light(info); }
    void btnExit_org_MouseMove(const forms::MouseEventArgs&) { light(exit); }

    void btnExit_Click();
    void btnInfo_Click();

    // A key pressed on the window runs what the click on the matching control runs; true when
    // the key means something here.
    bool Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift, bool autoRepeat = false);

    // What the desktop reads and does.
    int currentTrack() const override;
    bool playing() const override;
    int elapsedSeconds() const override;
    std::string trackTitle(int track) const override;
    bool errorBoxOpen() const override;
    void nextTrack() override;
    void previousTrack() override;
    void startPlaying() override;
    void stopPlaying() override;
    void quit() override;
    void raise() override;
    int listen(std::function<void()> changed) override;
    void unlisten(int id) override;

private:
    friend struct frmMainTestAccess; // tests reach the controls by their names


    void buildControls();
    void wireEvents();
    void exposeToAssistiveTechnology();
    void light(const ButtonPair& b);
    void rest(const ButtonPair& b);
    // Runs a handler; a library error it raises ends the program through fatal.
    std::function<void()> guarded(std::function<void()> handler);
    forms::MouseHandler guardedMouse(std::function<void(const forms::MouseEventArgs&)> handler);

    player::Environment env_;
    std::function<void(const std::string&)> fatal_;
    std::unique_ptr<forms::Form> form_;
    std::unique_ptr<player::Player> player_;
    std::unique_ptr<player::ReadOuts> readOuts_;
    DragState drag_;
    std::unique_ptr<effects::Effects> effects_;
    std::unique_ptr<nfo::frmNfo> nfo_;
};

} // namespace mainwindow
