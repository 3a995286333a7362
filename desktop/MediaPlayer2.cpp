#include "desktop/MediaPlayer2.h"

#include <algorithm>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include "desktop/Activation.h"
#include "mainwindow/frmMain.h"
#include "player/TrackList.h"

namespace desktop {

namespace {

constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kTrackPath = "/org/mpris/MediaPlayer2/velsmoor/track/";
// The installed desktop file, without its .desktop.
constexpr const char* kDesktopEntry = "org.drelkin.Velsmoor";
constexpr qlonglong kMicroseconds = 1000000;
constexpr int kRaiseTimeoutMs = 3000;

// Only a bus the session names counts: asking libdbus without one would autolaunch a private
// bus for the X display, which no desktop listens on.
bool sessionBusNamed() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

class RootAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool Fullscreen READ Fullscreen WRITE setFullscreen)
    Q_PROPERTY(bool CanSetFullscreen READ CanSetFullscreen)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    RootAdaptor(MediaPlayer2* player) : QDBusAbstractAdaptor(player), p_(*player) {}

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool Fullscreen() const { return false; }
    void setFullscreen(bool) {}
    bool CanSetFullscreen() const { return false; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QString::fromLatin1(player::kProgramTitle); }
    QString DesktopEntry() const { return QString::fromLatin1(kDesktopEntry); }
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise() { p_.raise(); }
    void Quit() { p_.quit(); }

private:
    MediaPlayer2& p_;
};

// The disk has no pause, no seeking, no rate or volume of its own: those read as fixed values
// and writes to them are ignored.
class PlayerAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE setLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE setRate)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE setShuffle)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ Yes)
    Q_PROPERTY(bool CanPause READ Yes)
    Q_PROPERTY(bool CanSeek READ No)
    Q_PROPERTY(bool CanControl READ Yes)
public:
    PlayerAdaptor(MediaPlayer2* player) : QDBusAbstractAdaptor(player), p_(*player) {}

    QString PlaybackStatus() const { return p_.playbackStatus(); }
    QString LoopStatus() const { return QStringLiteral("None"); }
    void setLoopStatus(const QString&) {}
    double Rate() const { return 1.0; }
    void setRate(double) {}
    bool Shuffle() const { return false; }
    void setShuffle(bool) {}
    QVariantMap Metadata() const { return p_.metadata(); }
    double Volume() const { return 1.0; }
    void setVolume(double) {}
    qlonglong Position() const { return p_.position(); }
    bool CanGoNext() const { return p_.canGoNext(); }
    bool CanGoPrevious() const { return p_.canGoPrevious(); }
    bool Yes() const { return true; }
    bool No() const { return false; }

public slots:
    void Next() { p_.next(); }
    void Previous() { p_.previous(); }
    void Pause() { p_.pause(); }
    void PlayPause() { p_.playPause(); }
    void Stop() { p_.stop(); }
    void Play() { p_.play(); }
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong Position);

private:
    MediaPlayer2& p_;
};

} // namespace

MediaPlayer2::MediaPlayer2(mainwindow::frmMain& window, const std::string& programDir)
    : window_(window) {
    const QString cover = QString::fromLocal8Bit(programDir.c_str()) + QStringLiteral("/cover.png");
    if (QFileInfo::exists(cover))
        artUrl_ = QUrl::fromLocalFile(QFileInfo(cover).absoluteFilePath()).toString();
    new RootAdaptor(this);
    new PlayerAdaptor(this);
}

// The window may outlive this object; it must not call back into it.
MediaPlayer2::~MediaPlayer2() {
    if (serving_)
        window_.player().stateChanged = nullptr;
}

MediaPlayer2::Start MediaPlayer2::start(const QVariantMap& launch) {
    if (!sessionBusNamed())
        return Start::NoBus;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.registerObject(QString::fromLatin1(kObjectPath), this,
                            QDBusConnection::ExportAdaptors))
        return Start::NoBus;
    const auto claimed = bus.interface()->registerService(
        QString::fromLatin1(kBusName), QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (claimed.isValid() && claimed.value() == QDBusConnectionInterface::ServiceRegistered) {
        seen_ = {track(), playing()};
        serving_ = true;
        window_.player().stateChanged = [this] { announceChanges(); };
        (new ApplicationActivation(this, [this] { raise(); }))->publish();
        return Start::Serving;
    }
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
    if (!bus.interface()->isServiceRegistered(QString::fromLatin1(kBusName)))
        return Start::NoBus;
    // With this start's activation token, where the window system asks for one (Wayland).
    if (!activateRunning(QString::fromLatin1(kBusName), launch, kRaiseTimeoutMs))
        bus.call(QDBusMessage::createMethodCall(QString::fromLatin1(kBusName),
                                                QString::fromLatin1(kObjectPath),
                                                QString::fromLatin1(kRootInterface),
                                                QStringLiteral("Raise")),
                 QDBus::Block, kRaiseTimeoutMs);
    return Start::AlreadyRunning;
}

int MediaPlayer2::track() const {
    return std::clamp<int>(window_.player().state.trackIndex, 0, player::kLastTrack);
}

bool MediaPlayer2::playing() const { return window_.player().state.isPlaying != 0; }

QVariantMap MediaPlayer2::metadata() const {
    const int i = track();
    const auto k = static_cast<std::size_t>(i);
    QVariantMap m;
    m.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(kTrackPath) +
                                                 QString::number(i))));
    m.insert(QStringLiteral("mpris:length"),
             static_cast<qlonglong>(player::kTrackList[k].length) * kMicroseconds);
    m.insert(QStringLiteral("xesam:title"),
             QString::fromLocal8Bit(window_.tunes[k]->Caption().c_str()));
    m.insert(QStringLiteral("xesam:artist"), QStringList{QStringLiteral("Drelkin")});
    m.insert(QStringLiteral("xesam:album"), QString::fromLatin1(player::kProgramTitle));
    m.insert(QStringLiteral("xesam:trackNumber"), i);
    if (!artUrl_.isEmpty())
        m.insert(QStringLiteral("mpris:artUrl"), artUrl_);
    return m;
}

QString MediaPlayer2::playbackStatus() const {
    return playing() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

qlonglong MediaPlayer2::position() const {
    return static_cast<qlonglong>(window_.player().state.elapsedSeconds) * kMicroseconds;
}

bool MediaPlayer2::canGoNext() const { return track() < player::kLastTrack; }
bool MediaPlayer2::canGoPrevious() const { return track() > 0; }

bool MediaPlayer2::blocked() const { return window_.player().errorBoxOpen(); }

void MediaPlayer2::click(const std::function<void()>& handler) {
    if (!blocked() && handler)
        handler();
}

void MediaPlayer2::next() { click(window_.next.lit->onClick); }
void MediaPlayer2::previous() { click(window_.prev.lit->onClick); }
void MediaPlayer2::play() { click(window_.play.lit->onClick); }
void MediaPlayer2::stop() { click(window_.stop.lit->onClick); }

// The disk has no pause: pausing stops, and from a stop PlayPause plays.
void MediaPlayer2::pause() {
    if (playing())
        stop();
}

void MediaPlayer2::playPause() {
    if (playing())
        stop();
    else
        play();
}

void MediaPlayer2::raise() {
    QWidget& w = window_.form();
    // A window that start-up has not shown (yet) stays hidden.
    if (!w.isVisible())
        return;
    w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
    w.raise();
    w.activateWindow();
}

void MediaPlayer2::quit() { click(window_.exit.lit->onClick); }

void MediaPlayer2::announceChanges() {
    const Seen now{track(), playing()};
    QVariantMap changed;
    if (now.playing != seen_.playing)
        changed.insert(QStringLiteral("PlaybackStatus"), playbackStatus());
    if (now.track != seen_.track) {
        changed.insert(QStringLiteral("Metadata"), metadata());
        if ((now.track < player::kLastTrack) != (seen_.track < player::kLastTrack))
            changed.insert(QStringLiteral("CanGoNext"), canGoNext());
        if ((now.track > 0) != (seen_.track > 0))
            changed.insert(QStringLiteral("CanGoPrevious"), canGoPrevious());
    }
    seen_ = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

} // namespace desktop

#include "MediaPlayer2.moc"
