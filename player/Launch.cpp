#include "player/Launch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace player {

namespace {

bool isSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

} // namespace

bool displayAvailable(int argc, char** argv) {
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return false;
}

bool checkDisplay(int argc, char** argv) {
    if (displayAvailable(argc, argv))
        return true;
    std::fprintf(stderr, "%s\n", kNoDisplayLine);
    std::fflush(stderr);
    return false;
}

std::string programFolder(const char* exeLink) {
    // readlink does not say how long the target is: grow the buffer until it fits.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(exeLink, buffer.data(), buffer.size());
        if (n < 0)
            throw std::runtime_error(std::string("The program's folder could not be found (") +
                                     exeLink + ": " + std::strerror(errno) + ").");
        if (static_cast<std::size_t>(n) < buffer.size()) {
            const std::string file(buffer.data(), static_cast<std::size_t>(n));
            const std::size_t slash = file.rfind('/');
            if (file.empty() || file[0] != '/' || slash == std::string::npos)
                throw std::runtime_error("The program's folder could not be found (" +
                                         std::string(exeLink) + " gives \"" + file + "\").");
            // The program in the root folder: "/" itself, which joins to "//mods/".
            return slash == 0 ? std::string("/") : file.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace player
