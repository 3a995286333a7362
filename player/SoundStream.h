// How the disk's sound stream introduces itself to the sound server, and so to the volume
// mixer: the module library plays through SDL, which reads these from the environment when it
// opens the device, and the server's client library adds the rest.
#pragma once

#include <cstdlib>
#include <string>

#include "player/Player.h"

namespace player {

inline constexpr const char* kDesktopId = "org.drelkin.Velsmoor";

// Sets what the user has not set already; call before the library's Init. The stream's own
// name is the tune playing, which the library takes from the module; this one stands until then.
inline void describeSoundStream() {
    const std::string id = kDesktopId;
    const std::string pipewireProps = "{ application.icon-name = " + id + " application.id = " + id + " }";
    const char* const settings[][2] = {
        {"SDL_AUDIO_DEVICE_APP_NAME", kProgramTitle},
        {"SDL_AUDIO_DEVICE_STREAM_NAME", kProgramTitle},
        // SDL's own PipeWire output names the role itself (by default it files every stream as
        // a game, under one volume with every game); PipeWire spells the roles capitalised.
        {"SDL_AUDIO_DEVICE_STREAM_ROLE", "Music"},
        {"PIPEWIRE_PROPS", pipewireProps.c_str()},
        // Through PulseAudio (and PipeWire's PulseAudio server), which keeps a stream's volume
        // by its role.
        {"PULSE_PROP_application.icon_name", kDesktopId},
        {"PULSE_PROP_application.id", kDesktopId},
        {"PULSE_PROP_media.role", "music"},
    };
    for (const auto& [name, value] : settings) ::setenv(name, value, 0);
}

} // namespace player
