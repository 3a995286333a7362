// The program's view of the module-music library: its seven operations. The program uses the
// library loaded at run time from its own folder; tests stand in with fakes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace player {

// The library file could not be loaded or lacks an operation; raised at the call that needed it.
class LibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ModuleLibrary {
public:
    virtual ~ModuleLibrary() = default;
    virtual std::uint32_t GetVersion() = 0;
    virtual std::int32_t Init(std::int32_t device, std::uint32_t freq, std::uint32_t flags) = 0;
    // From a file: mem 0, path as a zero-terminated string in the system's byte encoding.
    virtual std::int32_t MusicLoad(std::int32_t mem, const void* file, std::uint32_t offset, std::uint32_t length,
        std::uint32_t flags) = 0;
    virtual std::int32_t MusicPlay() = 0;
    virtual std::int32_t MusicFree() = 0;
    virtual std::int32_t ErrorGetCode() = 0;
    virtual float GetCPU() = 0;
};

// File name of the module library inside the program's folder.
inline constexpr const char* kLibraryFileName = "libbassmod.so";

} // namespace player
