// What the program needs to know before its window can exist: that there is a display to
// show it on, and the folder that holds the program file.
#pragma once

#include <string>

namespace player {

// The line printed when the program is started with no display at all.
inline constexpr const char* kNoDisplayLine =
    "No display: neither DISPLAY nor WAYLAND_DISPLAY is set. To run the disk without a "
    "display, start it with ./scripts/run.sh, which opens it on a virtual X display (Xvfb).";

// False when neither an X nor a Wayland display is set and no window-system platform was
// chosen (QT_QPA_PLATFORM or -platform): the window system would then abort the program.
bool displayAvailable(int argc, char** argv);

// Chooses the window system before Qt starts, where the user did not (QT_QPA_PLATFORM,
// -platform): native Wayland when its display answers, then X11 (an Xwayland display too),
// each tried in turn by Qt. When no display can be reached, prints one line that says which
// and what to do, and returns false.
bool choosePlatform(int argc, char** argv);

// Held around the construction of the application object: should Qt find no window system it
// can start, the program prints one line naming the displays it tried and ends with status 1
// instead of Qt's abort. Qt's own messages of that moment are passed on once it has started.
class PlatformStartGuard {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
    // The platform started: Qt's held messages go out and its messages are its own again.
    void started();
};

// Whether a Wayland compositor accepts connections on the display that WAYLAND_DISPLAY (and
// XDG_RUNTIME_DIR) name.
bool waylandDisplayAnswers();

// The folder that holds the program file, as the bytes the system gives for it (any encoding,
// spaces and all), without a trailing slash. exeLink is the system's link to the running
// program. Throws std::runtime_error with the reason when the system does not tell.
std::string programFolder(const char* exeLink = "/proc/self/exe");

} // namespace player
