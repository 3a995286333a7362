#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the program and the module library with the
# compile commands of the normal build in ./build (or $BUILD_DIR), two files at a time, and fails
# on any finding. Tests, tools and Qt's generated files are not checked. Configures the build
# folder when it has no compile commands yet; Qt's generated headers come from building it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
[ -f "$build/compile_commands.json" ] \
    || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

folders=(bassmod forms player effects nfo mainwindow desktop)
mapfile -t sources < <(cd "$root" && git ls-files -- main.cpp "${folders[@]}" \
    | grep -E '\.(cpp|cc)$' | sed "s|^|$root/|")
# Our headers, reached from their folders or through the build's include roots; Qt's generated
# files (under the build folder's *_autogen) are not ours.
re_root=$(printf '%s' "$root" | sed 's/[][\.*^$+?(){}|]/\\&/g')
re_build=$(printf '%s' "$build" | sed 's/[][\.*^$+?(){}|]/\\&/g')
filter="^($re_root/($(IFS="|"; echo "${folders[*]}"))/|$re_build/include-roots/)"

echo "clang-tidy: ${#sources[@]} files"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\0' "${sources[@]}" \
    | xargs -0 -n1 -P"$(nproc)" clang-tidy -p "$build" --quiet --use-color=false \
        --header-filter="$filter" >"$log" 2>&1 || status=$?
# clang-tidy prints how many warnings it generated in headers it does not check: not findings.
grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^Use -system-headers' "$log" || true
[ "$status" -eq 0 ] || { echo "clang-tidy: findings above"; exit 1; }
echo "clang-tidy: no findings"
