// What the main window gets from outside: the module library, the error box, time and the
// program's folder. The program passes real ones; tests pass fakes and a virtual clock.
#pragma once

#include <functional>
#include <string>

#include "forms/ErrorBox.h"
#include "forms/Timer.h"
#include "player/ModuleLibrary.h"

namespace player {

struct Environment {
    ModuleLibrary* library = nullptr;
    forms::ErrorBox* errorBox = nullptr;
    forms::TimerClock* clock = nullptr;
    // The folder that holds the program file, without a trailing slash, in the system's byte
    // encoding (as file names are passed to the library).
    std::string programDir;
    // Makes a folder the process's current directory.
    std::function<void(const std::string&)> setCurrentDirectory;
};

} // namespace player
