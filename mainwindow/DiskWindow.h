// What the desktop sees of the disk's window and may do with it: the current track, playing
// or stopped, the transport the skin's buttons run, and bringing the window to the front.
#pragma once

#include <functional>
#include <string>

namespace mainwindow {

class DiskWindow {
public:
    virtual ~DiskWindow() = default;

    virtual int currentTrack() const = 0;
    virtual bool playing() const = 0;
    virtual int elapsedSeconds() const = 0;
    // The title the tune list shows for track (0 = the intro).
    virtual std::string trackTitle(int track) const = 0;
    // While an error box waits for the user, no click reaches the window.
    virtual bool errorBoxOpen() const = 0;

    // Each runs what the click on the matching button runs.
    virtual void nextTrack() = 0;
    virtual void previousTrack() = 0;
    virtual void startPlaying() = 0;
    virtual void stopPlaying() = 0;
    virtual void quit() = 0;
    // A window that start-up has not shown stays hidden.
    virtual void raise() = 0;

    // changed is told after every change of the current track or of playing and stopped; the
    // id takes it away again.
    virtual int listen(std::function<void()> changed) = 0;
    virtual void unlisten(int id) = 0;
};

} // namespace mainwindow
