// A second start of the disk hands its launch to the running one: the standard
// org.freedesktop.Application interface, whose platform data carries the launcher's activation
// token. On Wayland a window may take the focus only with such a token.
#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace desktop {

inline constexpr const char* kApplicationBusName = "org.drelkin.Velsmoor";
inline constexpr const char* kApplicationPath = "/org/drelkin/Velsmoor";

// The launch tokens this process was started with ("activation-token",
// "desktop-startup-id"), as Activate's platform data. To be read before the application object
// exists: the X11 platform takes DESKTOP_STARTUP_ID out of the environment as it starts.
QVariantMap launchPlatformData();

// The running disk's side: Activate (and Open, ActivateAction, which mean nothing more here)
// hand the token to the window system, then bring the window to the front.
class ApplicationActivation final : public QObject {
    Q_OBJECT
public:
    ApplicationActivation(QObject* parent, std::function<void()> raise);
    // Serves the interface on the session bus, beside the name the caller already holds.
    bool publish();
    void activate(const QVariantMap& platformData);

private:
    std::function<void()> raise_;
};

// The second start's side: asks the disk that holds busName to activate with this launch's
// platform data; false when it does not answer (an older disk, or none).
bool activateRunning(const QString& busName, const QVariantMap& platformData, int timeoutMs);

} // namespace desktop
