#include "desktop/Activation.h"

#include <utility>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QStringList>
#include <QVariantList>

namespace desktop {

namespace {

constexpr const char* kInterface = "org.freedesktop.Application";

class ApplicationAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationAdaptor(ApplicationActivation* owner) : QDBusAbstractAdaptor(owner), owner_(*owner) {}

public slots:
    void Activate(const QVariantMap& platform_data) { owner_.activate(platform_data); }
    void Open(const QStringList&, const QVariantMap& platform_data) { owner_.activate(platform_data); }
    void ActivateAction(const QString&, const QVariantList&, const QVariantMap& platform_data) {
        owner_.activate(platform_data);
    }

private:
    ApplicationActivation& owner_;
};

} // namespace

QVariantMap launchPlatformData() {
    QVariantMap data;
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty()) data.insert(QStringLiteral("activation-token"), QString::fromUtf8(token));
    const QByteArray startup = qgetenv("DESKTOP_STARTUP_ID");
    if (!startup.isEmpty()) data.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(startup));
    return data;
}

ApplicationActivation::ApplicationActivation(QObject* parent, std::function<void()> raise)
    : QObject(parent), raise_(std::move(raise)) {
    new ApplicationAdaptor(this);
}

bool ApplicationActivation::publish() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QString::fromLatin1(kApplicationPath), this, QDBusConnection::ExportAdaptors)) return false;
    // The name desktops address an application by; the player's own name stays the one a
    // second start looks for.
    if (bus.interface())
        bus.interface()->registerService(QString::fromLatin1(kApplicationBusName),
            QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    return true;
}

void ApplicationActivation::activate(const QVariantMap& platformData) {
    // Qt's Wayland client activates with the token it finds in the environment, once.
    // Launchers of X11 heritage hand the same token as the startup id.
    QString token = platformData.value(QStringLiteral("activation-token")).toString();
    if (token.isEmpty()) token = platformData.value(QStringLiteral("desktop-startup-id")).toString();
    if (!token.isEmpty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    if (raise_) raise_();
}

bool activateRunning(const QString& busName, const QVariantMap& platformData, int timeoutMs) {
    QDBusMessage call = QDBusMessage::createMethodCall(busName, QString::fromLatin1(kApplicationPath),
        QString::fromLatin1(kInterface), QStringLiteral("Activate"));
    call << platformData;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace desktop

#include "Activation.moc"
