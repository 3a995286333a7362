# shellcheck shell=bash
# Sourced by the whole-process benchmarks: starts a virtual X display for them.
# bench_xvfb [DISPLAY] starts Xvfb (on a random free-looking display when none is given), waits
# until it answers, exports DISPLAY and leaves its process id in bench_xvfb_pid. Returns non-zero
# when the display does not come up.
bench_xvfb() {
    local display=${1:-:$((150 + RANDOM % 100))}
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    # shellcheck disable=SC2034 # read by the scripts that source this file
    bench_xvfb_pid=$!
    for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo -display "$display" >/dev/null 2>&1 || return 1
    export DISPLAY=$display
}
