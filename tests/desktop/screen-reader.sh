#!/usr/bin/env bash
# The real program as a screen reader finds it: a virtual X display, a private session bus with
# the accessibility bus on it, and a listener (pyatspi) that walks the windows, presses buttons
# and hears what the disk announces when the media controls change the tune.
# Usage: screen-reader.sh PROGRAM   (run inside dbus-run-session)
# With SCREEN_READER_EVENTS=FILE the events heard on a track change are written to FILE.
set -uo pipefail
program=$1
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "run me inside dbus-run-session"; exit 2; }
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "$launcher not found (scripts/install-deps.sh installs at-spi2-core)"; exit 2; }
for tool in Xvfb dbus-send; do
    command -v "$tool" >/dev/null || { echo "$tool not found (scripts/install-deps.sh installs it)"; exit 2; }
done
# The distribution's Python, which the distribution's bindings belong to.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" -c 'import pyatspi' 2>/dev/null || { echo "pyatspi not found (python3-pyatspi)"; exit 2; }

. "$(dirname "$0")/common.sh"

# The accessibility bus keeps its socket in the runtime folder: this one goes with the run.
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 300); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
DISPLAY=:$(cat "$scratch/display")
export DISPLAY
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_ACCESSIBILITY QT_LINUX_ACCESSIBILITY_ALWAYS_ON

"$launcher" --launch-immediately 2>/dev/null &
pids+=($!)
a11y() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus "$@" >/dev/null 2>&1
}
for _ in $(seq 100); do a11y org.a11y.Bus.GetAddress && break; sleep 0.1; done
a11y org.a11y.Bus.GetAddress || { echo "FAIL: the accessibility bus did not start"; exit 1; }
for flag in IsEnabled ScreenReaderEnabled; do
    a11y org.freedesktop.DBus.Properties.Set string:org.a11y.Status "string:$flag" variant:boolean:true
done

"$program" 2>"$scratch/program.log" &
pids+=($!)

SCREEN_READER_EVENTS=${SCREEN_READER_EVENTS:-} "$python" - <<'EOF'
import os, subprocess, sys, time
import pyatspi
from gi.repository import GLib

failures = []
def fail(what):
    print("FAIL:", what)
    failures.append(what)

def pump(seconds):
    loop = GLib.MainLoop()
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()

def walk(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from walk(child)

def frame(name, patience=90):
    end = time.time() + patience
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == name:
                    return window
        pump(0.2)
    return None

def named(root, name, role):
    return [a for a in walk(root) if a.name == name and a.getRole() == role]

def press(root, name):
    found = named(root, name, pyatspi.ROLE_PUSH_BUTTON)
    if len(found) != 1:
        fail(f"{len(found)} buttons named {name}")
        return
    action = found[0].queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            action.doAction(i)
            return
    fail(f"{name} cannot be pressed")

title = "Velsmoor, Part I [Orvantis]"
main = frame(title)
if main is None:
    fail("no window named " + title)
    sys.exit(1)

# Each skin button once: neither its lit nor its resting picture is a second element.
for button in ["Prev", "Play", "Next", "Stop", "Info", "Exit"]:
    count = len(named(main, button, pyatspi.ROLE_PUSH_BUTTON))
    if count != 1:
        fail(f"{count} buttons named {button}, wanted 1")
chosen = [a.name for a in walk(main) if a.getState().contains(pyatspi.STATE_CHECKED)]
if chosen != ["Harbour of Glass"]:
    fail(f"chosen at start: {chosen}")

heard = []
def hear(event):
    try:
        source = event.source.name
    except Exception:
        source = "?"
    data = event.any_data if isinstance(event.any_data, str) else ""
    heard.append((round(time.time() - start, 2), event.type, source, event.detail1, data))

kinds = ["object:property-change:accessible-name", "object:text-changed",
         "object:state-changed:checked", "object:property-change:accessible-value"]
def pumpUntil(heardIt, patience):
    end = time.time() + patience
    while time.time() < end and not any(heardIt(h) for h in heard):
        pump(0.1)

pyatspi.Registry.registerEventListener(hear, *kinds)
start = time.time()
# The disk learns that somebody listens through the registry; a slow build takes a while.
pumpUntil(lambda h: h[2].startswith("Time Elapsed"), 30)
heard.clear()

# A quiet stretch: the seconds count, nothing else is news (scroller, CPU, ticker).
start = time.time()
pump(2.5)
noise = [h for h in heard if not h[2].startswith("Time Elapsed") and h[2] not in ("?",)]
if noise:
    fail(f"heard while nothing happened: {noise}")
if not any(h[2].startswith("Time Elapsed") for h in heard):
    fail("the elapsed seconds were not heard")

# A track change by the media controls.
heard.clear()
start = time.time()
subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.mpris.MediaPlayer2.velsmoor",
                "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Player.Next"],
               check=False, stdout=subprocess.DEVNULL)
pumpUntil(lambda h: h[1] == "object:state-changed:checked" and h[2] == "Moonwalker Drift", 10)
pump(0.2)
change = list(heard)
def was(kind, source, detail=None):
    return any(h[1] == kind and h[2] == source and (detail is None or h[3] == detail) for h in change)
for kind, source, detail in [
        ("object:property-change:accessible-name", "Track Number 1", None),
        ("object:state-changed:checked", "Moonwalker Drift", 1),
        ("object:state-changed:checked", "Harbour of Glass", 0)]:
    if not was(kind, source, detail):
        fail(f"no {kind} from {source} on a track change")
# A name and a text change for each of the three read-outs, one for each marker, and perhaps
# one tick of the seconds: more would be a flood.
if len(change) > 14:
    fail(f"{len(change)} events on one track change")
lines = [f"{t:5.2f}s  {kind:42} {source!r} {detail} {data!r}".rstrip() for t, kind, source, detail, data in change]
print("heard on a track change by MPRIS:")
print("\n".join("  " + l for l in lines))
out = os.environ.get("SCREEN_READER_EVENTS")
if out:
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")

# The NFO window has a name of its own; its logo is one picture and its words read as text.
press(main, "Info")
nfo = frame(title + ": NFO", patience=10)
if nfo is None:
    fail("no NFO window by its name")
else:
    logos = [a for a in walk(nfo) if a.getRole() == pyatspi.ROLE_IMAGE]
    if [a.name for a in logos] != ["Drelkin logo"]:
        fail(f"pictures in the NFO window: {[a.name for a in logos]}")
    texts = []
    for a in walk(nfo):
        if a.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC):
            t = a.queryText()
            texts.append(t.getText(0, t.characterCount))
    if not texts or not texts[0].startswith("Kon ichi wa!"):
        fail(f"the NFO text begins {texts[:1]!r}")
    if any("/:/" in t or "|" in t for t in texts):
        fail("the NFO text reads its frames or its art")
    press(nfo, "Close")
    pump(0.5)
    if frame(title + ": NFO", patience=1) is not None:
        fail("the NFO window stayed after Close")

press(main, "Exit")
sys.exit(1 if failures else 0)
EOF
status=$?
if [ "$status" != 0 ]; then
    echo "what the program printed:"
    cat "$scratch/program.log"
else
    echo "screen reader: all checks passed"
fi
exit "$status"
