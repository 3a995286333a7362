# shellcheck shell=bash
# Shared by the desktop session tests: a scratch folder and the processes started into `pids`,
# both gone when the script ends; `fail` counts what went wrong; `expect` polls for an answer.

scratch=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Polls for up to $patience seconds until the command prints the wanted text.
patience=10
expect() {
    local what=$1 want=$2 got="" end=$((SECONDS + patience))
    shift 2
    while :; do
        got=$("$@" 2>/dev/null)
        [ "$got" = "$want" ] && return 0
        [ "$SECONDS" -ge "$end" ] && break
        sleep 0.1
    done
    fail "$what: '$got', wanted '$want'"
    return 1
}
