#!/usr/bin/env bash
# Whole-program CPU use under Xvfb while it plays: once with every timer running, once with the
# five timers never started (VELSMOOR_NO_TIMERS=1). Each run is sampled from /proc/<pid>/stat
# (utime + stime) over a window that starts after start-up has settled.
# Usage: measure-cpu.sh PROGRAM [SECONDS] [SHOTS_DIR]
# With SHOTS_DIR, the timed run also leaves screenshots there a few seconds apart.
set -euo pipefail
program=${1:?usage: measure-cpu.sh PROGRAM [SECONDS] [SHOTS_DIR]}
seconds=${2:-30}
shots=${3:-}
settle=3
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME
hz=$(getconf CLK_TCK)

. "$(dirname "$0")/../xvfb.sh"
trap 'kill "${bench_xvfb_pid:-}" 2>/dev/null || true' EXIT
# shellcheck disable=SC2119 # no DISPLAY given: a free display of its own
bench_xvfb || { echo "Xvfb did not start" >&2; exit 1; }
display=$DISPLAY

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Prints the CPU share of one core in percent over the window.
measure() {
    local label=$1; shift
    env "$@" "$program" >/dev/null 2>&1 &
    local pid=$!
    sleep "$settle"
    local t0 w0 t1 w1
    t0=$(ticks "$pid"); w0=$(date +%s.%N)
    if [ -n "$shots" ] && [ "$label" = timers ]; then
        mkdir -p "$shots"
        local step=$((seconds / 6)) i
        for i in 1 2 3 4 5 6; do
            sleep "$step"
            import -display "$display" -window root "$shots/shot-$i.png"
        done
        sleep $((seconds - 6 * step))
    else
        sleep "$seconds"
    fi
    t1=$(ticks "$pid"); w1=$(date +%s.%N)
    local rss
    rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid"; wait "$pid" 2>/dev/null || true
    awk -v a="$t0" -v b="$t1" -v w0="$w0" -v w1="$w1" -v hz="$hz" -v l="$label" -v rss="$rss" \
        'BEGIN { printf "%-9s %6.2f %% of one core over %.1f s (%d ticks), peak RSS %d kB\n", l, 100 * (b - a) / hz / (w1 - w0), w1 - w0, b - a, rss }'
}

a=$(measure timers)
b=$(measure no-timers VELSMOOR_NO_TIMERS=1)
echo "$a"
echo "$b"
pa=$(echo "$a" | awk '{print $2}'); pb=$(echo "$b" | awk '{print $2}')
awk -v a="$pa" -v b="$pb" 'BEGIN { printf "difference %6.2f %% of one core\n", a - b }'
