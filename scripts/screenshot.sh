#!/usr/bin/env bash
# Takes the README's picture: starts the program silently on a virtual X display, lets it run a
# few seconds and writes the program's window, cropped from the screen, to docs/screenshot.png
# (or to the file given as the first argument). SCREENSHOT_DELAY sets the wait in seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
program=$build/bin/velsmoor

if [ "${1:-}" = --inside-xvfb ]; then
    out=$2
    "$program" &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true' EXIT
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || {
        echo "screenshot.sh: the program showed no window" >&2
        exit 1
    }
    sleep "${SCREENSHOT_DELAY:-7}"
    kill -0 "$pid" 2>/dev/null || { echo "screenshot.sh: the program ended early" >&2; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
    echo "Wrote $out (${WIDTH}x${HEIGHT})"
    exit 0
fi

out=$(realpath -m "${1:-$root/docs/screenshot.png}")
mkdir -p "$(dirname "$out")"
if [ ! -x "$program" ] || [ ! -d "$build/bin/mods" ]; then
    "$root/scripts/build.sh" --target velsmoor bassmod mods
fi
# Its own display and no sound, whatever the machine has.
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY
export SDL_AUDIODRIVER=dummy BUILD_DIR=$build
exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-xvfb "$out"
