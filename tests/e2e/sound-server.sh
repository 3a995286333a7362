#!/usr/bin/env bash
# The real program playing through a private PulseAudio server with a null sink: what the
# volume mixer is told about its stream, and that the music comes back when the server is
# killed mid-tune and started again; then the module library alone (PROBE prints its CPU
# reading), which reads no load while the server is away. Prints the levels it measured.
# Usage: sound-server.sh PROGRAM PROBE   (run inside dbus-run-session; KEEP_SCRATCH=1 keeps the
# recordings and logs and says where)
set -uo pipefail
program=$1
probe=$2
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "run me inside dbus-run-session"; exit 2; }
for tool in pulseaudio pactl parec sox playerctl; do
    command -v "$tool" >/dev/null || { echo "$tool not found (scripts/install-deps.sh installs it)"; exit 2; }
done

scratch=$(mktemp -d)
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR=$scratch/runtime HOME=$scratch
# A client that finds no server must not start one of its own in the server's place.
echo "autospawn = no" >"$scratch/client.conf"
export PULSE_CLIENTCONFIG=$scratch/client.conf
unset PULSE_SERVER PULSE_SINK SDL_AUDIODRIVER QT_QPA_PLATFORMTHEME
export QT_QPA_PLATFORM=offscreen

server=""
disk=""
probing=""
listener=""
cleanup() {
    [ -n "$disk" ] && kill "$disk" 2>/dev/null
    [ -n "$probing" ] && kill "$probing" 2>/dev/null
    [ -n "$listener" ] && kill "$listener" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    if [ -n "${KEEP_SCRATCH:-}" ]; then echo "kept $scratch"; else rm -rf "$scratch"; fi
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

startServer() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --load=module-native-protocol-unix --load="module-null-sink sink_name=probe" \
        --load=module-always-sink >>"$scratch/server.log" 2>&1 &
    server=$!
    for _ in $(seq 100); do pactl info >/dev/null 2>&1 && return 0; sleep 0.05; done
    echo "FAIL: the sound server did not start"; cat "$scratch/server.log"; exit 1
}

# Records the null sink for $1 seconds into $2. The monitor hands its sound over up to a couple
# of seconds late, so the recorder runs that much longer and the file is cut to the time asked
# for: a file position is the time since the recording began.
record() {
    parec -d probe.monitor --latency-msec=20 --format=s16le --rate=44100 --channels=2 --raw \
        >"$2.all" 2>/dev/null &
    local recorder=$!
    sleep "$1"
    sleep 2.5
    kill -INT "$recorder"
    wait "$recorder" 2>/dev/null
    head -c "$(awk -v s="$1" 'BEGIN { print int(s * 44100) * 4 }')" "$2.all" >"$2"
    rm -f "$2.all"
}
# RMS level in dBFS of a recording, or of $3 seconds of it from $2 seconds on.
level() {
    local trim=()
    [ $# -gt 1 ] && trim=(trim "$2" "$3")
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n "${trim[@]}" stats 2>&1 |
        awk '/^RMS lev dB/ { print ($4 == "-inf" ? -200 : $4) }'
}
loud() { awk -v l="$1" 'BEGIN { exit !(l > -45) }'; }

# The one property of the disk's stream, as the volume mixer reads it.
property() {
    pactl list sink-inputs 2>/dev/null |
        awk -v key="$1" '$1 == key && $2 == "=" { sub(/^[^"]*"/, ""); sub(/"$/, ""); print; exit }'
}
expectProperty() {
    local key=$1 want=$2 got="" end=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$end" ]; do
        got=$(property "$key")
        [ "$got" = "$want" ] && return 0
        sleep 0.1
    done
    fail "$key: '$got', wanted '$want'"
}

startServer
"$program" 2>"$scratch/program.log" &
disk=$!
end=$((SECONDS + 60))
while [ -z "$(property application.name)" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.1; done
[ -n "$(property application.name)" ] || { echo "FAIL: no stream appeared"; cat "$scratch/program.log"; exit 1; }

expectProperty application.name "Velsmoor, Part I [Orvantis]"
expectProperty application.icon_name "org.drelkin.Velsmoor"
expectProperty media.role "music"
expectProperty media.name "Harbour of Glass"
pactl list sink-inputs >"$scratch/sink-inputs.txt"

# A null sink that has had nothing to play may hold a new stream for a second or two first.
sleep 2
record 2 "$scratch/before.raw"
before=$(level "$scratch/before.raw")
loud "$before" || fail "no music before the restart: $before dBFS"

# Mid-tune, the server dies without a word and comes back a moment later.
{ kill -KILL "$server"; wait "$server"; } 2>/dev/null
sleep 1.5
kill -0 "$disk" 2>/dev/null || fail "the disk ended with the server"
[ "$(playerctl -p velsmoor status 2>/dev/null)" = "Playing" ] || fail "not Playing while the server was away"
startServer
up=$(date +%s.%N)
record 4 "$scratch/after.raw" &
recording=$!
back=""
while [ -z "$back" ] && awk -v u="$up" -v n="$(date +%s.%N)" 'BEGIN { exit !(n - u < 4) }'; do
    [ -n "$(property application.name)" ] && back=$(awk -v u="$up" -v n="$(date +%s.%N)" 'BEGIN { printf "%.2f", n - u }')
    sleep 0.05
done
wait "$recording"
[ "$(stat -c %s "$scratch/after.raw")" = $((4 * 44100 * 4)) ] || fail "recorded less than 4 s after the restart"
heard=""
for tenth in $(seq 0 39); do
    at=$(awk -v t="$tenth" 'BEGIN { printf "%.1f", t / 10 }')
    if loud "$(level "$scratch/after.raw" "$at" 0.1)"; then heard=$at; break; fi
done
after=$(level "$scratch/after.raw" 3 1)
if [ -z "$heard" ]; then
    fail "no music within 4 s of the server coming back"
else
    awk -v h="$heard" 'BEGIN { exit !(h <= 3.0) }' || fail "music again only after $heard s"
    loud "$after" || fail "too quiet after the restart: $after dBFS"
fi
expectProperty media.name "Harbour of Glass"
expectProperty media.role "music"

# The next tune names the stream anew.
playerctl -p velsmoor next
expectProperty media.name "Moonwalker Drift"
kill -0 "$disk" 2>/dev/null || fail "the disk ended"

kill "$disk"
wait "$disk" 2>/dev/null
disk=""

# The library alone, its sink kept running by a listener: a reading while it plays, 0 while the
# server is away (from 0.8 s after the kill on: time for the loss to be noticed), and a reading
# again once it is back.
listen() {
    parec -d probe.monitor --latency-msec=20 --raw >/dev/null 2>&1 &
    listener=$!
}
readings() { awk -v from="$1" -v to="$2" 'NR > from && NR <= to { print $2 }' "$scratch/cpu.txt"; }
# Waits up to $1 s for the readings to move: a null sink may hold a new stream for a second or
# two before it pulls from it, and meanwhile the last reading stands.
moving() {
    local end=$((SECONDS + $1))
    while [ "$SECONDS" -lt "$end" ]; do
        [ "$(tail -n 3 "$scratch/cpu.txt" | awk '$2 != "0.000" { print $2 }' | sort -u | wc -l)" -ge 2 ] &&
            return 0
        sleep 0.1
    done
    return 1
}
: >"$scratch/cpu.txt"
listen
"$probe" "$(dirname "$program")/mods/HGLASS.IT" >>"$scratch/cpu.txt" 2>&1 &
probing=$!
moving 10 || fail "no CPU reading while playing"
killed=$(wc -l <"$scratch/cpu.txt")
kill "$listener"
wait "$listener" 2>/dev/null
{ kill -KILL "$server"; wait "$server"; } 2>/dev/null
sleep 1.5
restarted=$(wc -l <"$scratch/cpu.txt")
startServer
listen
moving 10 || fail "no CPU reading after the restart"
away=$(readings $((killed + 8)) "$restarted" | sort -u | tr '\n' ' ')
[ "$away" = "0.000 " ] || fail "CPU readings while the server was away: $away"
kill -0 "$probing" 2>/dev/null || { fail "the library's player ended"; cat "$scratch/cpu.txt"; }

echo "level before the kill: $before dBFS RMS"
echo "stream back after the server came back: ${back:-never} s; music in the recording from ${heard:-never} s"
echo "level after the restart: $after dBFS RMS"
sed -n '/Properties:/,$p' "$scratch/sink-inputs.txt"
if [ "$failures" -gt 0 ]; then
    echo "what the disk printed:"; cat "$scratch/program.log"
    exit 1
fi
echo "sound server: all checks passed"
