#include "desktop/MediaPlayer2.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFileInfo>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QStringList>
#include <QUrl>

#include "desktop/Activation.h"
#include "mainwindow/DiskWindow.h"
#include "player/Player.h"
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
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

// The two interfaces are plain objects: the bus reaches them through Bus below, which answers
// every message itself.
class RootAdaptor final : public QObject {
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
    RootAdaptor(MediaPlayer2* player) : QObject(player), p_(*player) {}

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
// and writes to them are ignored, except a rate of 0, which pauses.
class PlayerAdaptor final : public QObject {
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
    PlayerAdaptor(MediaPlayer2* player) : QObject(player), p_(*player) {}

    QString PlaybackStatus() const { return p_.playbackStatus(); }
    QString LoopStatus() const { return QStringLiteral("None"); }
    void setLoopStatus(const QString&) {}
    double Rate() const { return 1.0; }
    void setRate(double rate) {
        if (rate == 0.0) p_.pause();
    }
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

// Answers every message to the player's path from the two interface objects. Qt's own
// dispatch turns a property written with the wrong type into "Internal error", or converts it
// ("0" as a rate); clients are owed InvalidArgs, so the types are checked here, exactly.
class Bus final : public QDBusVirtualObject {
    Q_OBJECT
public:
    Bus(QObject* parent, std::initializer_list<QObject*> interfaces)
        : QDBusVirtualObject(parent), interfaces_(interfaces) {}

    QString introspect(const QString&) const override {
        QString xml;
        for (const QObject* o : interfaces_) xml += describe(*o->metaObject());
        return xml;
    }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& connection) override {
        if (m.type() != QDBusMessage::MethodCallMessage ||
            m.interface() == QLatin1String("org.freedesktop.DBus.Introspectable"))
            return false;
        const QDBusMessage reply =
            m.interface() == QLatin1String("org.freedesktop.DBus.Properties") ? properties(m) : call(m);
        if (m.isReplyRequired()) connection.send(reply);
        return true;
    }

private:
    static QString nameOf(const QMetaObject& mo) {
        return QString::fromLatin1(mo.classInfo(mo.indexOfClassInfo("D-Bus Interface")).value());
    }

    static QString describe(const QMetaObject& mo) {
        QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(nameOf(mo));
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
            const QMetaMethod mm = mo.method(i);
            if (mm.access() != QMetaMethod::Public ||
                (mm.methodType() != QMetaMethod::Slot && mm.methodType() != QMetaMethod::Signal))
                continue;
            const bool signal = mm.methodType() == QMetaMethod::Signal;
            xml += QStringLiteral("    <%1 name=\"%2\">\n")
                       .arg(signal ? QLatin1String("signal") : QLatin1String("method"), QString::fromLatin1(mm.name()));
            for (int a = 0; a < mm.parameterCount(); ++a) {
                const QByteArray name = mm.parameterNames().at(a);
                xml +=
                    QStringLiteral("      <arg%1 type=\"%2\"%3/>\n")
                        .arg(name.isEmpty() ? QString() : QStringLiteral(" name=\"%1\"").arg(QString::fromLatin1(name)),
                            QString::fromLatin1(QDBusMetaType::typeToSignature(mm.parameterMetaType(a))),
                            signal ? QString() : QStringLiteral(" direction=\"in\""));
            }
            xml += QStringLiteral("    </%1>\n").arg(signal ? QLatin1String("signal") : QLatin1String("method"));
        }
        for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i) {
            const QMetaProperty mp = mo.property(i);
            xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"%3\"/>\n")
                       .arg(QString::fromLatin1(mp.name()),
                           QString::fromLatin1(QDBusMetaType::typeToSignature(mp.metaType())),
                           mp.isWritable() ? QLatin1String("readwrite") : QLatin1String("read"));
        }
        return xml + QStringLiteral("  </interface>\n");
    }

    // The interface objects a message may address: the named one, or any when none is named.
    std::vector<QObject*> addressed(const QString& name) const {
        std::vector<QObject*> found;
        for (QObject* o : interfaces_)
            if (name.isEmpty() || nameOf(*o->metaObject()) == name) found.push_back(o);
        return found;
    }

    static QDBusMessage error(const QDBusMessage& m, QDBusError::ErrorType type, const QString& text) {
        return m.createErrorReply(type, text);
    }

    QDBusMessage properties(const QDBusMessage& m) const {
        const QList<QVariant> args = m.arguments();
        const QString member = m.member();
        const QString want = m.signature();
        if (!((member == QLatin1String("Get") && want == QLatin1String("ss")) ||
                (member == QLatin1String("Set") && want == QLatin1String("ssv")) ||
                (member == QLatin1String("GetAll") && want == QLatin1String("s"))))
            return error(m, QDBusError::UnknownMethod,
                QStringLiteral("No method %1(%2) on org.freedesktop.DBus.Properties").arg(member, want));
        const QString iface = args.at(0).toString();
        const std::vector<QObject*> targets = addressed(iface);
        if (targets.empty())
            return error(m, QDBusError::UnknownInterface, QStringLiteral("No interface %1 here").arg(iface));
        if (member == QLatin1String("GetAll")) {
            QVariantMap all;
            for (QObject* o : targets) {
                const QMetaObject* mo = o->metaObject();
                for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
                    all.insert(QString::fromLatin1(mo->property(i).name()), mo->property(i).read(o));
            }
            return m.createReply(QVariant::fromValue(all));
        }
        const QByteArray name = args.at(1).toString().toUtf8();
        for (QObject* o : targets) {
            const QMetaObject* mo = o->metaObject();
            const int index = mo->indexOfProperty(name.constData());
            if (index < mo->propertyOffset()) continue;
            QMetaProperty mp = mo->property(index);
            if (member == QLatin1String("Get")) return m.createReply(QVariant::fromValue(QDBusVariant(mp.read(o))));
            if (!mp.isWritable())
                return error(m, QDBusError::PropertyReadOnly,
                    QStringLiteral("Property %1 is read-only").arg(QString::fromUtf8(name)));
            const QVariant value = qvariant_cast<QDBusVariant>(args.at(2)).variant();
            if (value.metaType() != mp.metaType())
                return error(m, QDBusError::InvalidArgs,
                    QStringLiteral("Property %1 takes type %2")
                        .arg(QString::fromUtf8(name),
                            QString::fromLatin1(QDBusMetaType::typeToSignature(mp.metaType()))));
            mp.write(o, value);
            return m.createReply();
        }
        return error(m, QDBusError::UnknownProperty,
            QStringLiteral("No property %1 here").arg(QString::fromUtf8(name)));
    }

    QDBusMessage call(const QDBusMessage& m) const {
        const QList<QVariant> args = m.arguments();
        const QByteArray member = m.member().toLatin1();
        bool named = false;
        for (QObject* o : addressed(m.interface())) {
            const QMetaObject* mo = o->metaObject();
            for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
                const QMetaMethod mm = mo->method(i);
                if (mm.methodType() != QMetaMethod::Slot || mm.access() != QMetaMethod::Public || mm.name() != member)
                    continue;
                named = true;
                if (mm.parameterCount() != args.size()) continue;
                bool fits = true;
                std::array<QGenericArgument, 2> given{};
                for (int a = 0; a < args.size() && fits; ++a) {
                    fits = a < static_cast<int>(given.size()) && args.at(a).metaType() == mm.parameterMetaType(a);
                    if (fits)
                        given[static_cast<std::size_t>(a)] =
                            QGenericArgument(mm.parameterTypeName(a).constData(), args.at(a).constData());
                }
                if (!fits) continue;
                mm.invoke(o, Qt::DirectConnection, given[0], given[1]);
                return m.createReply();
            }
        }
        if (named)
            return error(m, QDBusError::InvalidArgs,
                QStringLiteral("%1 does not take (%2)").arg(m.member(), m.signature()));
        return error(m, QDBusError::UnknownMethod, QStringLiteral("No method %1 on %2").arg(m.member(), m.interface()));
    }

    std::vector<QObject*> interfaces_;
};

} // namespace

MediaPlayer2::MediaPlayer2(mainwindow::DiskWindow& window, const std::string& programDir) : window_(window) {
    const QString cover = QString::fromLocal8Bit(programDir.c_str()) + QStringLiteral("/cover.png");
    if (QFileInfo::exists(cover)) artUrl_ = QUrl::fromLocalFile(QFileInfo(cover).absoluteFilePath()).toString();
    new Bus(this, {new RootAdaptor(this), new PlayerAdaptor(this)});
}

// The window may outlive this object; it must not call back into it.
MediaPlayer2::~MediaPlayer2() {
    if (serving_) window_.unlisten(listening_);
}

MediaPlayer2::Start MediaPlayer2::start(const QVariantMap& launch) {
    if (!sessionBusNamed()) return Start::NoBus;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.registerVirtualObject(QString::fromLatin1(kObjectPath),
            findChild<Bus*>(QString(), Qt::FindDirectChildrenOnly)))
        return Start::NoBus;
    const auto claimed = bus.interface()->registerService(QString::fromLatin1(kBusName),
        QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (claimed.isValid() && claimed.value() == QDBusConnectionInterface::ServiceRegistered) {
        seen_ = {track(), playing()};
        serving_ = true;
        listening_ = window_.listen([this] { announceChanges(); });
        (new ApplicationActivation(this, [this] { raise(); }))->publish();
        return Start::Serving;
    }
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
    if (!bus.interface()->isServiceRegistered(QString::fromLatin1(kBusName))) return Start::NoBus;
    // With this start's activation token, where the window system asks for one (Wayland).
    if (!activateRunning(QString::fromLatin1(kBusName), launch, kRaiseTimeoutMs))
        bus.call(QDBusMessage::createMethodCall(QString::fromLatin1(kBusName), QString::fromLatin1(kObjectPath),
                     QString::fromLatin1(kRootInterface), QStringLiteral("Raise")),
            QDBus::Block, kRaiseTimeoutMs);
    return Start::AlreadyRunning;
}

int MediaPlayer2::track() const { return std::clamp<int>(window_.currentTrack(), 0, player::kLastTrack); }

bool MediaPlayer2::playing() const { return window_.playing(); }

QVariantMap MediaPlayer2::metadata() const {
    const int i = track();
    const auto k = static_cast<std::size_t>(i);
    QVariantMap m;
    m.insert(QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(kTrackPath) + QString::number(i))));
    m.insert(QStringLiteral("mpris:length"), static_cast<qlonglong>(player::kTrackList[k].length) * kMicroseconds);
    m.insert(QStringLiteral("xesam:title"), QString::fromLocal8Bit(window_.trackTitle(i).c_str()));
    m.insert(QStringLiteral("xesam:artist"), QStringList{QStringLiteral("Drelkin")});
    m.insert(QStringLiteral("xesam:album"), QString::fromLatin1(player::kProgramTitle));
    m.insert(QStringLiteral("xesam:trackNumber"), i);
    if (!artUrl_.isEmpty()) m.insert(QStringLiteral("mpris:artUrl"), artUrl_);
    return m;
}

QString MediaPlayer2::playbackStatus() const {
    return playing() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

qlonglong MediaPlayer2::position() const { return static_cast<qlonglong>(window_.elapsedSeconds()) * kMicroseconds; }

bool MediaPlayer2::canGoNext() const { return track() < player::kLastTrack; }
bool MediaPlayer2::canGoPrevious() const { return track() > 0; }

bool MediaPlayer2::blocked() const { return window_.errorBoxOpen(); }

void MediaPlayer2::click(void (mainwindow::DiskWindow::*handler)()) {
    if (!blocked()) (window_.*handler)();
}

void MediaPlayer2::next() { click(&mainwindow::DiskWindow::nextTrack); }
void MediaPlayer2::previous() { click(&mainwindow::DiskWindow::previousTrack); }
void MediaPlayer2::play() { click(&mainwindow::DiskWindow::startPlaying); }
void MediaPlayer2::stop() { click(&mainwindow::DiskWindow::stopPlaying); }

// The disk has no pause: pausing stops, and from a stop PlayPause plays.
void MediaPlayer2::pause() {
    if (playing()) stop();
}

void MediaPlayer2::playPause() {
    if (playing()) stop();
    else play();
}

void MediaPlayer2::raise() { window_.raise(); }

void MediaPlayer2::quit() { click(&mainwindow::DiskWindow::quit); }

void MediaPlayer2::announceChanges() {
    const Seen now{track(), playing()};
    QVariantMap changed;
    if (now.playing != seen_.playing) changed.insert(QStringLiteral("PlaybackStatus"), playbackStatus());
    if (now.track != seen_.track) {
        changed.insert(QStringLiteral("Metadata"), metadata());
        if ((now.track < player::kLastTrack) != (seen_.track < player::kLastTrack))
            changed.insert(QStringLiteral("CanGoNext"), canGoNext());
        if ((now.track > 0) != (seen_.track > 0)) changed.insert(QStringLiteral("CanGoPrevious"), canGoPrevious());
    }
    seen_ = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kObjectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

} // namespace desktop

#include "MediaPlayer2.moc"
