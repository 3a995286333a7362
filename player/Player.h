// The playback core of the main window: start-up, the current track with its read-outs and
// tune-list marker, the error box, and the navigation between tracks.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "forms/Controls.h"
#include "forms/Timer.h"
#include "player/Environment.h"
#include "player/PlayerState.h"

namespace player {

inline constexpr const char* kProgramTitle = "Velsmoor, Part I [Orvantis]";
inline constexpr const char* kRequiredVersion = "1.6";

// The main window's controls the playback core touches; owned by the window.
struct PlayerControls {
    forms::Picture* btnExit = nullptr;
    forms::Picture* btnInfo = nullptr;
    forms::Timer* Timer1 = nullptr;
    forms::Timer* Timer2 = nullptr;
    forms::Timer* Timer3 = nullptr;
    forms::Timer* Timer4 = nullptr;
    forms::Timer* tmrBass = nullptr;
    forms::Label* lbl1 = nullptr;
    forms::Label* lblTrackNro = nullptr;
    forms::Label* lblTrackNro2 = nullptr;
    forms::Label* lblOrgTime = nullptr;
    forms::Label* lblOrgTime2 = nullptr;
    forms::Label* lblTime = nullptr;
    forms::Label* lblTime2 = nullptr;
    std::array<forms::Label*, 17> markers{}; // c1..c17
};

// Library errors (LibraryError) that nothing here handles leave the handler that met them;
// the window decides what they mean.
class Player {
public:
    Player(Environment env, PlayerControls controls);

    PlayerState state;

    // The window's load event. Returns false when the program has to end (wrong library
    // version or no sound output); the window must then never be shown.
    bool Form_Load();

    void Tunes();
    void Times();
    void Load();
    void Play();
    void Playing();
    void ThrowError(const std::string& message);

    void btnPrev_Click();
    void btnPlay_Click();
    void btnNext_Click();
    void btnStop_Click();
    void TuneClick(std::int16_t index);
    void Intro_Click() { TuneClick(0); }
    void Tune1_Click() { TuneClick(1); }
    void Tune2_Click() { TuneClick(2); }
    void Tune3_Click() { TuneClick(3); }
    void Tune4_Click() { TuneClick(4); }
    void Tune5_Click() { TuneClick(5); }
    void Tune6_Click() { TuneClick(6); }
    void Tune7_Click() { TuneClick(7); }
    void Tune8_Click() { TuneClick(8); }
    void Tune9_Click() { TuneClick(9); }
    void Tune10_Click() { TuneClick(10); }
    void Tune11_Click() { TuneClick(11); }
    void Tune12_Click() { TuneClick(12); }
    void Tune13_Click() { TuneClick(13); }
    void Tune14_Click() { TuneClick(14); }
    void Tune15_Click() { TuneClick(15); }
    void Tune16_Click() { TuneClick(16); }
    void tmrBass_Timer();

    // Frees the loaded module before a change of track and at Exit; a library that cannot
    // be reached does not stop either.
    void freeModuleIgnoringErrors();

    bool errorBoxOpen() const { return boxesOpen_ > 0; }

    // Told after every change of the current track or of playing and stopped; not on the
    // count of seconds.
    std::function<void()> stateChanged;

private:
    void startCurrentTrack();
    void setPair(forms::Label* a, forms::Label* b, const std::string& text);
    void changed();

    Environment env_;
    PlayerControls c_;
    int boxesOpen_ = 0;
};

} // namespace player
