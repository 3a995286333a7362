#!/usr/bin/env bash
# The whole-program benchmark: builds what it needs, runs the disk, a bare reference window and
# the module library alone under Xvfb with SDL's dummy audio driver, alternating, and prints one
# table of min / median over the repetitions, each figure beside its reference from the same run.
#
# Usage: bench/run.sh [BUILD_DIR]
# Settings (environment): REPS (3) repetitions, RUN_SECONDS (10) measuring window of each CPU run,
# SETTLE (3) seconds before it, MEMORY_SECONDS (60), CHANGES (20) track changes,
# BENCH_DISPLAY (a free one between :150 and :249).
# CPU is the scheduler's run time of every thread (/proc/<pid>/task/*/schedstat), which is what
# utime + stime sample in 10 ms steps; wake-ups are the times a thread was scheduled in.
# Exits non-zero only when something could not be measured.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
reps=${REPS:-3}
seconds=${RUN_SECONDS:-10}
settle=${SETTLE:-3}
memorySeconds=${MEMORY_SECONDS:-60}
changes=${CHANGES:-20}
missing=0

die() { echo "bench: $*" >&2; exit 1; }

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || die "cannot configure"
cmake --build "$build" -j2 --target velsmoor bassmod mods bassmod_probe reference_window >/dev/null \
    || die "cannot build"
program=$build/bin/velsmoor
reference=$build/bench/bin/reference_window
probe=$build/bench/bin/bassmod_probe
mods=$build/bin/mods
tune=$mods/HGLASS.IT
for f in "$program" "$reference" "$probe" "$tune"; do [ -e "$f" ] || die "missing $f"; done

export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME VELSMOOR_NO_TIMERS VELSMOOR_BENCH_TRACE
work=$(mktemp -d)
children=()
# shellcheck disable=SC2317 # called by the EXIT trap
cleanup() {
    for p in "${children[@]}"; do kill "$p" 2>/dev/null; done
    kill "${bench_xvfb_pid:-}" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
. "$root/bench/xvfb.sh"
bench_xvfb "${BENCH_DISPLAY:-}" || die "Xvfb did not start"
display=$DISPLAY

# Starts a command in the background with a trace file; its first line is the moment of exec.
# Sets $pid.
launch() {
    local trace=$1; shift
    : >"$trace"
    VELSMOOR_BENCH_TRACE=$trace bash -c \
        't=${EPOCHREALTIME//[.,]/}; echo "exec ${t}000" >>"$VELSMOOR_BENCH_TRACE"; exec "$@"' \
        _ "$@" >/dev/null 2>&1 &
    pid=$!
    children+=("$pid")
}

stop() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; }

# Run time (ns), times scheduled in and voluntary switches of all threads, and the clock.
sample() {
    local run=0 slices=0 vol=0 t r w s v
    for t in /proc/"$1"/task/*; do
        read -r r w s <"$t/schedstat" 2>/dev/null || continue
        v=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null)
        run=$((run + r)); slices=$((slices + s)); vol=$((vol + ${v:-0}))
    done
    echo "$run $slices $vol ${EPOCHREALTIME//[.,]/}"
}

kb() { awk -v f="$2:" '$1 == f {print $2}' "/proc/$1/status" 2>/dev/null; }

# One CPU run: prints "cpu% wakeups/s volswitches/s" over the window after the settle.
cpurun() {
    launch "$work/cpu.trace" "$@"
    local p=$pid
    sleep "$settle"
    [ -d "/proc/$p" ] || { echo "n/a n/a n/a"; return; }
    local a b
    a=$(sample "$p"); sleep "$seconds"; b=$(sample "$p")
    stop "$p"
    awk -v a="$a" -v b="$b" 'BEGIN { split(a, x); split(b, y); us = y[4] - x[4];
        if (us <= 0) { print "n/a n/a n/a"; exit }
        printf "%.3f %.1f %.1f\n", 100 * (y[1] - x[1]) / 1000 / us, (y[2] - x[2]) * 1e6 / us, (y[3] - x[3]) * 1e6 / us }'
}

# Milliseconds from the exec line of a trace to the first line of an event, or n/a.
since_exec() {
    awk -v e="$2" '$1 == "exec" && !s {s = $2} $1 == e && !t {t = $2}
        END { if (s && t) printf "%.1f\n", (t - s) / 1e6; else print "n/a" }' "$1"
}

wait_for() { # trace event timeout-seconds
    local i
    for i in $(seq $((${3} * 20))); do grep -q "^$2 " "$1" 2>/dev/null && return 0; sleep 0.05; done
    return 1
}

# min and median of the numbers on stdin ("n/a" when there are none).
stats() {
    sort -g | awk '$1 != "n/a" {v[n++] = $1}
        END { if (!n) { print "n/a"; exit }
              m = n % 2 ? v[(n - 1) / 2] : (v[n / 2 - 1] + v[n / 2]) / 2
              printf "%s / %s\n", v[0], m }'
}

declare -A results
add() { results[$1]+="$2"$'\n'; }

echo "bench: $reps repetitions, ${seconds} s windows after ${settle} s, display $display" >&2
echo "bench: load average before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

# 1 and 6: CPU and wake-ups, the four configurations alternating.
for r in $(seq "$reps"); do
    echo "bench: CPU round $r of $reps" >&2
    read -r c w v < <(cpurun "$program");                         add prog.cpu "$c"; add prog.wake "$w"; add prog.vol "$v"
    read -r c w v < <(cpurun "$reference");                       add ref.cpu "$c";  add ref.wake "$w";  add ref.vol "$v"
    read -r c w v < <(cpurun "$probe" play "$tune" 100000);       add lib.cpu "$c";  add lib.wake "$w";  add lib.vol "$v"
    read -r c w v < <(cpurun env VELSMOOR_NO_TIMERS=1 "$program"); add still.cpu "$c"; add still.wake "$w"; add still.vol "$v"
done

# 2: start-up.
for r in $(seq "$reps"); do
    echo "bench: start-up round $r of $reps" >&2
    launch "$work/p.trace" "$program"; p=$pid
    wait_for "$work/p.trace" frame 10; wait_for "$work/p.trace" sound 10; stop "$p"
    add prog.frame "$(since_exec "$work/p.trace" frame)"; add prog.sound "$(since_exec "$work/p.trace" sound)"
    launch "$work/r.trace" "$reference"; p=$pid
    wait_for "$work/r.trace" frame 10; stop "$p"
    add ref.frame "$(since_exec "$work/r.trace" frame)"
    launch "$work/l.trace" "$probe" play "$tune" 100000; p=$pid
    wait_for "$work/l.trace" sound 10; stop "$p"
    add lib.sound "$(since_exec "$work/l.trace" sound)"
done

# 3 and 4: memory after a while beside the reference window, then tune clicks.
echo "bench: memory, ${memorySeconds} s, then $changes tune clicks" >&2
launch "$work/ref-mem.trace" "$reference"; refpid=$pid
sleep 0.5
launch "$work/mem.trace" "$program"; prog=$pid
sleep "$memorySeconds"
refRss=$(kb "$refpid" VmRSS); refHwm=$(kb "$refpid" VmHWM)
stop "$refpid"
progRss=$(kb "$prog" VmRSS); progHwm=$(kb "$prog" VmHWM)
wid=$(xdotool search --name '^Form1$' 2>/dev/null | head -1)
clickRss=()
if [ -n "$wid" ] && [ -d "/proc/$prog" ]; then
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    for i in $(seq "$changes"); do
        k=$(( i % 17 ))
        before=$(grep -c '^sound ' "$work/mem.trace")
        xdotool mousemove $((X + 286)) $((Y + 244 + 8 * k)) click 1
        for _ in $(seq 60); do
            [ "$(grep -c '^sound ' "$work/mem.trace")" -gt "$before" ] && break
            sleep 0.05
        done
        sleep 0.5
        clickRss+=("$(kb "$prog" VmRSS)")
    done
fi
afterRss=$(kb "$prog" VmRSS); afterHwm=$(kb "$prog" VmHWM)
stop "$prog"
# Click to the next audible buffer, and the program's own loads in the order it made them.
awk '$1 == "click" {c = $2} $1 == "sound" && c {printf "%.1f\n", ($2 - c) / 1e6; c = 0}' \
    "$work/mem.trace" >"$work/switch"
awk '$1 == "load-ns" {printf "%.3f\n", $2 / 1e6}' "$work/mem.trace" >"$work/loads"

# 5: the library's CPU reading against its audio thread's CPU time.
echo "bench: the library's CPU reading" >&2
cpucheck=$("$probe" cpucheck "$tune" "$seconds" 2>/dev/null)
libReading=$(awk '$1 == "library-reading-percent" {print $2}' <<<"$cpucheck")
libDirect=$(awk '$1 == "audio-thread-percent" {print $2}' <<<"$cpucheck")

# The library's own load, play and free cycle over the real tunes.
echo "bench: the library's load/play/free cycle" >&2
cycle=$("$probe" cycle "$mods" "$changes" 2>/dev/null)
field() { awk -v k="$1" '$1 == k {print $2}' <<<"$cycle"; }

# The table.
row() { printf '| %-58s | %-21s | %-21s | %-28s |\n' "$@"; }
s() { printf '%s' "${results[$1]:-}" | stats; }
mb() { [ -n "$1" ] && awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }' || echo n/a; }

{
echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg); $reps repetitions; figures are min / median."
echo
row "measure" "velsmoor" "beside it" "what is beside it"
row "----------------------------------------------------------" "---------------------" "---------------------" "----------------------------"
row "CPU, % of one core, every effect running" "$(s prog.cpu)" "$(s ref.cpu)" "reference window"
row "CPU, % of one core, every effect running" "$(s prog.cpu)" "$(s lib.cpu)" "library alone, no window"
row "CPU, % of one core, timers stopped (VELSMOOR_NO_TIMERS=1)" "$(s still.cpu)" "$(s lib.cpu)" "library alone, no window"
effects=$(paste <(printf '%s' "${results[prog.cpu]}") <(printf '%s' "${results[still.cpu]}") \
    | awk '$1 != "n/a" && $2 != "n/a" {printf "%.3f\n", $1 - $2}' | stats)
row "CPU the effects cost (every effect - timers stopped)" "$effects" "" "same repetition, paired"
row "start-up: exec to first frame, ms" "$(s prog.frame)" "$(s ref.frame)" "reference window"
row "start-up: exec to first non-silent buffer, ms" "$(s prog.sound)" "$(s lib.sound)" "library alone, no window"
row "memory after ${memorySeconds} s: resident / peak" "$(mb "$progRss") / $(mb "$progHwm")" "$(mb "$refRss") / $(mb "$refHwm")" "reference window"
growth=n/a
if [ "${#clickRss[@]}" -gt 0 ] && [ -n "$progRss" ]; then
    growth=$(awk -v a="$progRss" -v b="${clickRss[-1]}" -v n="${#clickRss[@]}" 'BEGIN { printf "%.1f kB", (b - a) / n }')
fi
row "memory after ${#clickRss[@]} tune clicks: resident / peak" "$(mb "$afterRss") / $(mb "$afterHwm")" "$(mb "$(field cycle-rss-end-kb)") / $(mb "$(field cycle-peak-kb)")" "library alone, ${changes} load/play/free"
row "memory growth per track change" "$growth" "$(field cycle-growth-per-change-kb) kB" "library alone"
row "track change: click to first buffer of the new tune, ms" "$(stats <"$work/switch")" "" "$(wc -l <"$work/switch") changes"
row "tune load time in the program, ms" "$(stats <"$work/loads")" "" "$(wc -l <"$work/loads") loads"
check=n/a
if [ -n "$libReading" ] && [ -n "$libDirect" ]; then
    check=$(awk -v a="$libReading" -v b="$libDirect" 'BEGIN { d = b > 0 ? 100 * (a - b) / b : 0;
        printf "%.3f vs %.3f (%+.0f %%, %s)", a, b, d, (d <= 20 && d >= -20) ? "within 20 %" : "OFF" }')
fi
row "library CPU reading vs audio thread CPU time, %" "$check" "" "reading vs direct"
row "wake-ups per second (times scheduled in)" "$(s prog.wake)" "$(s ref.wake)" "reference window"
row "wake-ups per second (times scheduled in)" "$(s prog.wake)" "$(s lib.wake)" "library alone, no window"
row "voluntary context switches per second" "$(s prog.vol)" "$(s ref.vol)" "reference window"
while read -r name ms; do
    row "load time of $name (library alone, min), ms" "$ms" "" ""
done < <(awk '$1 == "load-ms" {print $2, $3}' <<<"$cycle")
} | tee "$work/table"

grep -q 'n/a' "$work/table" && missing=1
[ "$missing" = 0 ] || { echo "bench: some figures could not be measured (n/a)" >&2; exit 1; }
exit 0
