// The playback core of the main window: start-up, the current track with its read-outs and
// tune-list marker, the error box, and the navigation between tracks.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "forms/Controls.h"
#include "forms/Timer.h"
#include "player/Environment.h"
#include "player/PlayerState.h"

namespace player {

inline constexpr const char* kProgramTitle = "Velsmoor, Part I [Orvantis]";
inline constexpr const char* kRequiredVersion = "1.6";

// The main window's controls that start-up sets going; owned by the window. What the player
// shows of the track reaches the window as announcements (Change), not through its labels.
struct PlayerControls {
    forms::Picture* btnExit = nullptr;
    forms::Picture* btnInfo = nullptr;
    forms::Timer* Timer1 = nullptr;
    forms::Timer* Timer2 = nullptr;
    forms::Timer* Timer3 = nullptr;
    forms::Timer* Timer4 = nullptr;
    forms::Timer* tmrBass = nullptr;
    forms::Label* lbl1 = nullptr;
};

// What a listener is told, at the moment the window's code would have shown it.
enum class Change {
    TrackNumber, // the current track's number (Tunes)
    TrackLength, // its stored length (Times)
    Elapsed,     // the seconds counted
    Marker,      // the tune list's marker moves to the current track (Playing)
    Cleared,     // stopped: the read-outs show nothing
    // After every change of the current track or of playing and stopped; not on the count of
    // seconds.
    Transport,
};

// Library errors (LibraryError) that nothing here handles leave the handler that met them;
// the window decides what they mean.
class Player {
public:
    Player(Environment env, PlayerControls controls);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    const PlayerState& state() const { return state_; }

    using Listener = std::function<void(Change)>;
    // Listeners are told in the order they came; the id takes one away again.
    int listen(Listener listener);
    void unlisten(int id);

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
    void tmrBass_Timer();

    // Frees the loaded module before a change of track and at Exit; a library that cannot
    // be reached does not stop either.
    void freeModuleIgnoringErrors();

    bool errorBoxOpen() const { return boxesOpen_ > 0; }

private:
    friend struct PlayerTestAccess; // tests set up a state without playing up to it

    void startCurrentTrack();
    void tell(Change change);

    Environment env_;
    PlayerControls c_;
    PlayerState state_;
    std::map<int, Listener> listeners_;
    int nextListener_ = 0;
    int boxesOpen_ = 0;
};

} // namespace player
