#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Without a display it starts
# under a virtual X display (Xvfb); without a sound card it plays silently.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" --target velsmoor bassmod mods
program="$build/bin/velsmoor"

has_sound() {
    compgen -G "/dev/snd/pcm*" >/dev/null && return 0
    local rt=${XDG_RUNTIME_DIR:-/run/user/$(id -u)}
    [ -S "$rt/pulse/native" ] || [ -S "$rt/pipewire-0" ]
}
if [ -z "${SDL_AUDIODRIVER:-}" ] && ! has_sound; then
    echo "No sound card found: the program plays silently (SDL_AUDIODRIVER=dummy)."
    export SDL_AUDIODRIVER=dummy
fi

echo "Starting $program"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting under Xvfb, a virtual X display nobody sees."
    echo "Stop it with Ctrl+C."
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$program"
fi
exec "$program"
