#!/usr/bin/env bash
# The real program in a desktop session of its own (a virtual X display and a private session
# bus), driven through its media controls by playerctl and through its window by xdotool.
# Usage: desktop-session.sh PROGRAM   (run inside dbus-run-session)
set -uo pipefail
program=$1
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "run me inside dbus-run-session"; exit 2; }
for tool in Xvfb playerctl xdotool import dbus-send dbus-monitor; do
    command -v "$tool" >/dev/null || { echo "$tool not found (scripts/install-deps.sh installs it)"; exit 2; }
done

. "$(dirname "$0")/common.sh"


Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 300); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
DISPLAY=:$(cat "$scratch/display")
export DISPLAY
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME

# Every PropertiesChanged the disk sends; the monitor is ready once it has dropped its name.
dbus-monitor --session "type='signal',path='/org/mpris/MediaPlayer2',member='PropertiesChanged'" \
    >"$scratch/signals" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do grep -q NameLost "$scratch/signals" && break; sleep 0.1; done

"$program" 2>"$scratch/program.log" &
first=$!
pids+=("$first")

pc() { playerctl -p velsmoor "$@"; }
# shellcheck disable=SC2317 # called through expect
title() { pc metadata xesam:title; }
# shellcheck disable=SC2317 # called through expect
number() { pc metadata xesam:trackNumber; }
# shellcheck disable=SC2317 # called through expect
status() { pc status; }
# shellcheck disable=SC2317 # called through expect
windows() { xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | wc -l; }

# A sanitizer build on a busy machine can take a while to show up on the bus.
if ! patience=90 expect "title at start" "Harbour of Glass" title; then
    kill -0 "$first" 2>/dev/null || echo "the disk had ended; what it printed:"
    cat "$scratch/program.log"
    exit 1
fi
expect "status at start" "Playing" status
wid=$(xdotool search --onlyvisible --name '^Form1$' | head -1)

# The red ink of the read-outs for track number, length and elapsed seconds (41 x 8 pixels
# each, 8 apart): its pixel signature and how many pixels it has, per read-out.
# shellcheck disable=SC2317 # called through expect
readouts() {
    import -window "$wid" "$scratch/window.png" 2>/dev/null || return
    local y
    for y in 440 448 456; do
        convert "$scratch/window.png" -crop "41x8+88+$y" +repage -fill black +opaque '#C00000' \
            -fill white -opaque '#C00000' -format '%# %[fx:round(mean*w*h)] ' info:
    done
}
# All three read-outs show "...": the same ink, three dots of 2 x 2 pixels.
# shellcheck disable=SC2317 # called through expect
stopShown() {
    local r
    read -ra r <<<"$(readouts)"
    [ "${#r[@]}" = 6 ] && [ "${r[0]}" = "${r[2]}" ] && [ "${r[2]}" = "${r[4]}" ] &&
        [ "${r[1]}" = 12 ] && echo yes
}

# Media controls: each command, then what the player reports.
pc next
expect "title after next" "Moonwalker Drift" title
expect "track number after next" "1" number
import -window "$wid" "$scratch/playing.png"
pc stop
expect "status after stop" "Stopped" status
expect "read-outs after stop" "yes" stopShown
cp "$scratch/window.png" "$scratch/stopped.png"
pc play
expect "status after play" "Playing" status
expect "title after play" "Moonwalker Drift" title
pc previous
expect "title after previous" "Harbour of Glass" title
pc previous 2>/dev/null # refused: there is nothing before the first tune
dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.velsmoor /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Player.Previous >/dev/null || fail "Previous at the first tune"
expect "title after previous at the first tune" "Harbour of Glass" title
expect "status after previous at the first tune" "Playing" status

# Writes to the player's properties: a value of the wrong type is refused with the error the
# bus defines for it, and a rate of 0 acts as Pause (for the disk, Stop).
writeError() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.velsmoor \
        /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Set \
        string:org.mpris.MediaPlayer2.Player "string:$1" "variant:$2" 2>&1 >/dev/null |
        sed -n 's/^Error \([^:]*\):.*/\1/p'
}
writes=(
    # property | value | error answered (empty: accepted)
    "Rate|string:fast|org.freedesktop.DBus.Error.InvalidArgs"
    "Rate|int32:1|org.freedesktop.DBus.Error.InvalidArgs"
    "Volume|boolean:true|org.freedesktop.DBus.Error.InvalidArgs"
    "Shuffle|string:yes|org.freedesktop.DBus.Error.InvalidArgs"
    "LoopStatus|double:1|org.freedesktop.DBus.Error.InvalidArgs"
    "PlaybackStatus|string:Paused|org.freedesktop.DBus.Error.PropertyReadOnly"
    "Rate|double:1|"
    "Volume|double:0.5|"
)
for row in "${writes[@]}"; do
    IFS='|' read -r property value wantError <<<"$row"
    got=$(writeError "$property" "$value")
    [ "$got" = "$wantError" ] || fail "writing $value to $property answered '$got', wanted '$wantError'"
done
expect "status after wrong writes" "Playing" status
[ -z "$(writeError Rate double:0)" ] || fail "a rate of 0 was refused"
expect "status after rate 0" "Stopped" status
pc play
expect "status after play from rate 0" "Playing" status

# A second start raises the first and ends at once; the first plays on.
timeout 20 "$program" 2>/dev/null
rc=$?
[ "$rc" = 0 ] || fail "the second start ended with $rc"
expect "players on the bus" "velsmoor" playerctl -l
expect "windows after a second start" "1" windows
expect "status after a second start" "Playing" status
kill -0 "$first" 2>/dev/null || fail "the first disk ended"

# Keys on the window, each as the click on the matching control.
timeout 10 xdotool windowfocus --sync "$wid"
keys=(
    # key | title afterwards | status
    "Right|Moonwalker Drift|Playing"
    "Right|Quiet Engines|Playing"
    "Left|Moonwalker Drift|Playing"
    "Home|Harbour of Glass|Playing"
    "space|Harbour of Glass|Stopped"
    "space|Harbour of Glass|Playing"
)
for row in "${keys[@]}"; do
    IFS='|' read -r key wantTitle wantStatus <<<"$row"
    xdotool key "$key"
    expect "title after key $key" "$wantTitle" title
    expect "status after key $key" "$wantStatus" status
done
xdotool key i
expect "windows after key I" "2" windows
nfo=$(xdotool search --onlyvisible --name '^Form1$' | grep -vx "$wid" | head -1)
if [ -n "$nfo" ]; then
    timeout 10 xdotool windowfocus --sync "$nfo"
    import -window root "$scratch/nfo.png"
    xdotool key Escape
fi
expect "windows after Escape" "1" windows
timeout 10 xdotool windowfocus --sync "$wid"
xdotool key ctrl+q
for _ in $(seq 100); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$first" 2>/dev/null; then
    fail "Ctrl+Q did not end the program"
else
    wait "$first"
    rc=$?
    [ "$rc" = 0 ] || fail "the program ended with $rc after Ctrl+Q"
fi

# Where to keep the screenshots taken on the way, for a look by eye.
if [ -n "${DESKTOP_SESSION_SHOTS:-}" ]; then
    cp "$scratch"/{playing,stopped,nfo}.png "$DESKTOP_SESSION_SHOTS"/ 2>/dev/null
fi
# One signal per change of tune or of playing and stopped: start-up, next, stop, play,
# previous, rate 0 and play, and six keys. None for the ticks of the seconds counted meanwhile.
signals=$(grep -c 'member=PropertiesChanged' "$scratch/signals")
[ "$signals" = 13 ] || fail "$signals PropertiesChanged signals, wanted 13"

[ "$failures" = 0 ] && echo "desktop session: all checks passed"
exit $((failures > 0))
