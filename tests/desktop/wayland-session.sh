#!/usr/bin/env bash
# The real program on native Wayland: a headless wlroots compositor (sway) of its own, the
# pointer driven through a VNC server on it (wayvnc), the disk read back through its media
# controls (playerctl). A drag of the skin or of the NFO text, released, must leave the first
# click after it working, as on X11; a second start hands its activation token to the first.
# Usage: wayland-session.sh PROGRAM   (run inside dbus-run-session)
# With SHOTS_DIR set, the screenshots taken on the way are left there.
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "run me inside dbus-run-session"; exit 2; }
for tool in sway swaymsg wayvnc grim playerctl python3 setpriv; do
    command -v "$tool" >/dev/null || { echo "$tool not found (scripts/install-deps.sh installs it)"; exit 2; }
done
[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ] ||
    compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
    { echo "Qt's Wayland plugin not found (qt6-wayland; scripts/install-deps.sh installs it)"; exit 2; }

. "$(dirname "$0")/common.sh"
chmod 755 "$scratch"

# sway will not run as root: then the compositor, its VNC server and grim run as nobody, in
# folders of their own; the disk runs as the caller and reaches the compositor's socket.
comp=$scratch/compositor
mkdir -p "$comp/run" "$comp/home"
chmod 700 "$comp/run"
as_compositor=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$comp"
    as_compositor=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
compositor_env=(env -i PATH="$PATH" HOME="$comp/home" XDG_RUNTIME_DIR="$comp/run")
cat >"$comp/config" <<'CONFIG'
output HEADLESS-1 resolution 1024x768 position 0 0
default_border none
default_floating_border none
focus_follows_mouse no
CONFIG
"${as_compositor[@]}" "${compositor_env[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman sway -c "$comp/config" >"$comp/sway.log" 2>&1 &
pids+=($!)
socket=""
for _ in $(seq 100); do
    socket=$(find "$comp/run" -maxdepth 1 -name 'wayland-*' -type s 2>/dev/null | head -1)
    ipc=$(find "$comp/run" -maxdepth 1 -name 'sway-ipc.*' -type s 2>/dev/null | head -1)
    [ -n "$socket" ] && [ -n "$ipc" ] && break
    sleep 0.1
done
{ [ -n "$socket" ] && [ -n "$ipc" ]; } || { echo "FAIL: sway did not start"; cat "$comp/sway.log"; exit 1; }
as_comp() { "${as_compositor[@]}" "${compositor_env[@]}" WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc" "$@"; }

as_comp wayvnc --unix-socket "$comp/run/vnc" >"$comp/vnc.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$comp/run/vnc" ] && break; sleep 0.1; done
[ -S "$comp/run/vnc" ] || { echo "FAIL: wayvnc did not start"; cat "$comp/vnc.log"; exit 1; }
pointer() { python3 "$here/rfb-pointer.py" "$comp/run/vnc" "$@"; }

# The disk, on native Wayland as a user's session starts it: only WAYLAND_DISPLAY names a display.
mkdir -m 700 "$scratch/runtime"
(
    unset DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME
    # The protocol it speaks, to see which activation token it hands to the compositor.
    exec env WAYLAND_DISPLAY="$socket" XDG_RUNTIME_DIR="$scratch/runtime" SDL_AUDIODRIVER=dummy \
        WAYLAND_DEBUG=client "$program"
) 2>"$scratch/program.log" &
disk=$!
pids+=("$disk")

number() { playerctl -p velsmoor metadata xesam:trackNumber; }

# "x y" of the window of that size (both windows carry the same caption), or nothing.
window_at() {
    as_comp swaymsg -t get_tree -r 2>/dev/null | python3 -c '
import json, sys
want = (int(sys.argv[1]), int(sys.argv[2]))
def walk(n):
    r = n.get("rect", {})
    if n.get("pid") and (r.get("width"), r.get("height")) == want:
        print(r["x"], r["y"])
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))' "$1" "$2"
}
main_at() { window_at 520 498; }
nfo_at() { window_at 551 604; }
shot() {
    as_comp grim "$comp/run/$1.png" && [ -n "${SHOTS_DIR:-}" ] && cp "$comp/run/$1.png" "$SHOTS_DIR/"
}

if ! patience=90 expect "track at start" "0" number || [ -z "$(main_at)" ]; then
    kill -0 "$disk" 2>/dev/null || echo "the disk had ended; what it printed:"
    grep -v '^\[' "$scratch/program.log" | tail -40
    exit 1
fi
shot start

# Drag the skin by a bare spot of its left panel, 150 right and 60 down, and let go.
read -r x y <<<"$(main_at)"
pointer move:$((x + 50)),$((y + 200)) wait:0.3 down wait:0.5 \
    move:$((x + 80)),$((y + 210)) move:$((x + 120)),$((y + 240)) move:$((x + 200)),$((y + 260)) \
    wait:0.3 up wait:0.5
expect "skin dragged" "$((x + 150)) $((y + 60))" main_at
read -r x y <<<"$(main_at)"

# The first click after the drag: Next, reached as a hand reaches it (hover, then click).
pointer move:$((x + 340)),$((y + 455)) move:$((x + 352)),$((y + 462)) wait:0.3 down up
expect "track after the first click on Next after a drag of the skin" "1" number
shot after-skin-drag

# Info opens the NFO window; drag it by its text up and to the left, out of the way.
pointer move:$((x + 436)),$((y + 455)) move:$((x + 444)),$((y + 462)) wait:0.3 down up
for _ in $(seq 100); do [ -n "$(nfo_at)" ] && break; sleep 0.1; done
if [ -z "$(nfo_at)" ]; then
    fail "the NFO window did not open"
else
    read -r nx ny <<<"$(nfo_at)"
    pointer move:$((nx + 100)),$((ny + 100)) wait:0.3 down wait:0.5 \
        move:$((nx + 80)),$((ny + 90)) move:$((nx + 20)),$((ny + 60)) move:$((nx - 100)),$((ny + 30)) \
        wait:0.3 up wait:0.5
    read -r mx my <<<"$(nfo_at)"
    { [ "$mx" -lt "$nx" ] && [ "$my" -lt "$ny" ]; } || fail "NFO window not dragged: at $mx $my, was at $nx $ny"
    shot after-nfo-drag
    # The first click after that drag, on the main window's Next.
    pointer move:$((x + 340)),$((y + 455)) move:$((x + 352)),$((y + 462)) wait:0.3 down up
    expect "track after the first click on Next after a drag of the NFO text" "2" number
fi

# A second start, as a launcher makes it with a token of its own, ends at once and hands the
# token to the running disk, which activates its window with it.
token=velsmoor-launch-$$-$RANDOM
(
    unset DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME DESKTOP_STARTUP_ID
    exec env WAYLAND_DISPLAY="$socket" XDG_RUNTIME_DIR="$scratch/runtime" SDL_AUDIODRIVER=dummy \
        XDG_ACTIVATION_TOKEN="$token" timeout 60 "$program"
) 2>"$scratch/second.log"
rc=$?
[ "$rc" = 0 ] || fail "the second start ended with $rc: $(cat "$scratch/second.log")"
kill -0 "$disk" 2>/dev/null || fail "the first disk ended at the second start"
activated() {
    grep -q "xdg_activation_v1@[0-9]*\.activate(\"$token\"" "$scratch/program.log" && echo yes
}
expect "the running disk activates with the second start's token" "yes" activated
expect "track after a second start" "2" number

if [ "$failures" -ne 0 ]; then
    echo "what the disk printed (its protocol left out):"
    grep -v '^\[' "$scratch/program.log" | tail -40
    exit 1
fi
echo "Wayland session: both drags released, the first click after each counted;"
echo "a second start handed its activation token to the running disk"
