#include "player/Module1.h"

namespace player {

std::string ErrorText(std::int32_t code) {
    switch (code) {
    case -1: return "Some Other Mystery Error";
    case 0: return "All is OK";
    case 1: return "Memory Error";
    case 2: return "Can't Open the File";
    case 3: return "Can't Find a Free Sound Driver";
    case 5: return "Invalid Handle";
    case 6: return "Unsupported Format";
    case 7: return "Invalid Playback Position";
    case 8: return "BASS_Init Has Not Been Successfully Called";
    case 14: return "Already Initialized";
    case 16: return "Not Paused";
    case 19: return "An Illegal Type Was Specified";
    case 20: return "An Illegal Parameter Was Specified";
    case 23: return "Illegal Device Number";
    case 24: return "Not Playing";
    default: return {};
    }
}

std::string VersionText(ModuleLibrary& library) {
    // The two halves come from two separate queries, the way the version has always been read.
    const std::string low = std::to_string(LowWord(static_cast<std::int32_t>(library.GetVersion())));
    const std::string high = std::to_string(HighWord(static_cast<std::int32_t>(library.GetVersion())));
    return low + "." + high;
}

std::int32_t LowWord(std::int32_t value) { return value & 0xFFFF; }

std::int32_t HighWord(std::int32_t value) {
    // Division truncates toward zero, so negative values do not simply shift down.
    return (value / 65536) & 0xFFFF;
}

} // namespace player
