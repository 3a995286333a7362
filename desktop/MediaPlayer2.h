// The disk on the desktop's session bus: the MPRIS media-player interfaces that panels, lock
// screens, media keys and playerctl use, and one running disk per session.
#pragma once

#include <functional>
#include <string>

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace mainwindow {
class DiskWindow;
}

namespace desktop {

inline constexpr const char* kBusName = "org.mpris.MediaPlayer2.velsmoor";
inline constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";

class MediaPlayer2 final : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Serving,        // this disk answers on the bus
        NoBus,          // no session bus (or it refused the name): the disk runs on its own
        AlreadyRunning, // another disk holds the name and was raised; this one must end
    };

    // programDir holds the program file and the cover picture beside it.
    MediaPlayer2(mainwindow::DiskWindow& window, const std::string& programDir);
    ~MediaPlayer2() override;

    // Claims the player's name; to be called before the disk starts playing. A disk already
    // running is activated with launch (this start's tokens, see launchPlatformData).
    Start start(const QVariantMap& launch = {});

    // What the bus reads and does. Transport runs the skin's own click handlers; while an error
    // box waits for the user, nothing reaches them (as no click does).
    QVariantMap metadata() const;
    QString playbackStatus() const;
    qlonglong position() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    void next();
    void previous();
    void play();
    void stop();
    void pause();
    void playPause();
    void raise();
    void quit();

private:
    struct Seen {
        int track = -1;
        bool playing = false;
    };
    int track() const;
    bool playing() const;
    bool blocked() const;
    void click(void (mainwindow::DiskWindow::*handler)());
    void announceChanges();

    mainwindow::DiskWindow& window_;
    QString artUrl_;
    Seen seen_;
    bool serving_ = false;
    int listening_ = -1;
};

} // namespace desktop
