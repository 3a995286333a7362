#include "player/Launch.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QStringList>

namespace player {

namespace {

bool isSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool platformChosen(int argc, char** argv) {
    if (isSet("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return true;
    return false;
}

// What this start tried, for the line printed when nothing could be used.
struct Tried {
    bool wayland = false;        // WAYLAND_DISPLAY was set
    bool waylandAnswers = false; // and a compositor listens there
    bool x11 = false;            // DISPLAY was set and was handed to Qt
    bool userChoice = false;     // QT_QPA_PLATFORM or -platform decided
};
Tried tried;

constexpr const char* kAdvice = "Correct DISPLAY or WAYLAND_DISPLAY, or unset both and start the disk with "
                                "./scripts/run.sh, which opens it on a virtual X display (Xvfb).";

// Qt's Wayland client is a plugin of its own (the package qt6-wayland), looked for where Qt
// looks for every platform plugin.
bool waylandPluginInstalled() {
    for (const QString& dir : QCoreApplication::libraryPaths()) {
        const QDir platforms(dir + QStringLiteral("/platforms"));
        if (!platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty()) return true;
    }
    return false;
}

std::string waylandName() { return "the Wayland display \"" + env("WAYLAND_DISPLAY") + "\""; }

std::string noDisplayLine() {
    std::vector<std::string> parts;
    std::string advice = kAdvice;
    if (tried.userChoice) {
        parts.push_back("the window system that QT_QPA_PLATFORM or -platform chose (\"" + env("QT_QPA_PLATFORM") +
                        "\") could not be started");
        advice = "Choose another with QT_QPA_PLATFORM, or unset it.";
    } else {
        if (tried.wayland && !tried.waylandAnswers) {
            parts.push_back(waylandName() + " (WAYLAND_DISPLAY) does not answer");
        } else if (tried.wayland && !waylandPluginInstalled()) {
            parts.push_back(waylandName() + " answers, but Qt's Wayland platform plugin is not installed");
            advice = "Install the package qt6-wayland (scripts/install-deps.sh does), or set "
                     "DISPLAY to the session's X display (Xwayland).";
        } else if (tried.wayland) {
            parts.push_back(waylandName() + " answers, but Qt could not use it");
        }
        if (tried.x11) parts.push_back("the X display \"" + env("DISPLAY") + "\" (DISPLAY) could not be reached");
    }
    std::string line = "No display: ";
    for (std::size_t i = 0; i < parts.size(); ++i) line += (i ? "; " : "") + parts[i];
    return line + ". " + advice;
}

void printLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

// Qt's messages while the platform starts, held until it has.
QtMessageHandler previousHandler = nullptr;
bool guarding = false;
std::vector<std::string> heldMessages;

void guardHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!guarding) {
        if (previousHandler) previousHandler(type, context, message);
        return;
    }
    if (type == QtFatalMsg) {
        // Qt found no window system it could start; it would abort and dump core next.
        printLine(noDisplayLine());
        std::_Exit(1);
    }
    heldMessages.push_back(qFormatLogMessage(type, context, message).toStdString());
}

} // namespace

bool displayAvailable(int argc, char** argv) {
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("WAYLAND_SOCKET") || platformChosen(argc, argv);
}

bool waylandDisplayAnswers() {
    // A compositor that started this program may have handed it a connected socket.
    if (isSet("WAYLAND_SOCKET")) return true;
    std::string path = env("WAYLAND_DISPLAY");
    if (path.empty()) return false;
    if (path[0] != '/') {
        if (!isSet("XDG_RUNTIME_DIR")) return false;
        path = env("XDG_RUNTIME_DIR") + "/" + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path)) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answers;
}

bool choosePlatform(int argc, char** argv) {
    tried = {};
    if (platformChosen(argc, argv)) {
        tried.userChoice = true;
        return true;
    }
    if (!displayAvailable(argc, argv)) {
        printLine(kNoDisplayLine);
        return false;
    }
    std::string platforms;
    if (isSet("WAYLAND_DISPLAY") || isSet("WAYLAND_SOCKET")) {
        tried.wayland = true;
        tried.waylandAnswers = waylandDisplayAnswers();
        // Without the plugin an X display (Xwayland) is the way in, and Qt need not say first
        // that it found no Wayland plugin; with no X display Qt gets to try, and the line
        // printed then says what is missing.
        if (tried.waylandAnswers && (waylandPluginInstalled() || !isSet("DISPLAY"))) platforms = "wayland";
    }
    if (isSet("DISPLAY")) {
        tried.x11 = true;
        platforms += platforms.empty() ? "xcb" : ";xcb";
    }
    if (platforms.empty()) {
        printLine(noDisplayLine());
        return false;
    }
    // Qt tries them in this order and takes the first that starts.
    ::setenv("QT_QPA_PLATFORM", platforms.c_str(), 1);
    return true;
}

PlatformStartGuard::PlatformStartGuard() {
    heldMessages.clear();
    guarding = true;
    previousHandler = qInstallMessageHandler(guardHandler);
}

void PlatformStartGuard::started() {
    if (!guarding) return;
    guarding = false;
    qInstallMessageHandler(previousHandler);
    for (const std::string& m : heldMessages) printLine(m);
    heldMessages.clear();
}

PlatformStartGuard::~PlatformStartGuard() { started(); }

std::string programFolder(const char* exeLink) {
    // readlink does not say how long the target is: grow the buffer until it fits.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(exeLink, buffer.data(), buffer.size());
        if (n < 0)
            throw std::runtime_error(std::string("The program's folder could not be found (") + exeLink + ": " +
                                     std::strerror(errno) + ").");
        if (static_cast<std::size_t>(n) < buffer.size()) {
            const std::string file(buffer.data(), static_cast<std::size_t>(n));
            const std::size_t slash = file.rfind('/');
            if (file.empty() || file[0] != '/' || slash == std::string::npos)
                throw std::runtime_error(
                    "The program's folder could not be found (" + std::string(exeLink) + " gives \"" + file + "\").");
            // The program in the root folder: "/" itself, which joins to "//mods/".
            return slash == 0 ? std::string("/") : file.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace player
