#!/usr/bin/env bash
# Instructions the program executes while it plays, counted by callgrind (the same on a busy
# machine as on a quiet one, unlike CPU time): the user-interface thread's instructions per
# 30 ms scroller tick, and the audio thread's per second. Runs the program under Xvfb with SDL's
# dummy driver, lets it settle, then counts over a window.
# Usage: bench/ui-instructions.sh PROGRAM [SECONDS]   (default 20; needs valgrind)
set -euo pipefail
program=${1:?usage: ui-instructions.sh PROGRAM [SECONDS]}
seconds=${2:-20}
settle=25 # start-up under valgrind is slow
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME
work=$(mktemp -d)
. "$(dirname "$0")/xvfb.sh"
trap 'kill "${bench_xvfb_pid:-}" 2>/dev/null; rm -rf "$work"' EXIT
# shellcheck disable=SC2119 # no DISPLAY given: a free display of its own
bench_xvfb || { echo "Xvfb did not start" >&2; exit 1; }

valgrind --tool=callgrind --separate-threads=yes --callgrind-out-file="$work/cg" "$program" \
    >/dev/null 2>&1 &
vg=$!
sleep "$settle"
callgrind_control -z "$vg" >/dev/null 2>&1
t0=$EPOCHREALTIME
sleep "$seconds"
callgrind_control -d "$vg" >/dev/null 2>&1
t1=$EPOCHREALTIME
sleep 1
kill "$vg" 2>/dev/null; wait "$vg" 2>/dev/null || true

total() { awk '/^(summary|totals):/ {print $2; exit}' "$1"; }
main=$(ls "$work"/cg.1-01)
ticks=$(callgrind_annotate --tree=caller --inclusive=yes "$main" 2>/dev/null \
    | grep -E '=> .*Effects::Timer1_Timer\(\) \([0-9,]+x\)' | head -1 \
    | grep -oE '\([0-9,]+x\)' | tr -d '(),x')
{ [ -n "$ticks" ] && [ "$ticks" -gt 0 ]; } || { echo "no scroller ticks were counted" >&2; exit 1; }
audio=0
for f in "$work"/cg.1-*; do
    n=$(total "$f"); [ "${n:-0}" -gt "$audio" ] && [ "$f" != "$main" ] && audio=$n
done
awk -v m="$(total "$main")" -v t="$ticks" -v a="$audio" -v t0="$t0" -v t1="$t1" 'BEGIN {
    s = t1 - t0
    printf "user-interface thread: %.0f instructions per scroller tick (%d ticks in %.1f s; %.2f M/s)\n", m / t, t, s, m / s / 1e6
    printf "busiest other thread (audio): %.2f M instructions per second\n", a / s / 1e6 }'
