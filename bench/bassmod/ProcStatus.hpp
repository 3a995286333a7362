// A field of /proc/self/status, for the benchmarks that watch their own memory.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// The field in KiB (VmRSS, VmHWM, ...), or -1 when the system does not show it.
inline long procStatusKib(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::atol(line.c_str() + length + 1);
    return -1;
}
