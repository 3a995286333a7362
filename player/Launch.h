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

// Prints kNoDisplayLine to stderr and returns false when displayAvailable() is false.
bool checkDisplay(int argc, char** argv);

// The folder that holds the program file, as the bytes the system gives for it (any encoding,
// spaces and all), without a trailing slash. exeLink is the system's link to the running
// program. Throws std::runtime_error with the reason when the system does not tell.
std::string programFolder(const char* exeLink = "/proc/self/exe");

} // namespace player
