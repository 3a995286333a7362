#!/usr/bin/env bash
# Installs what is missing, checks the C++ files against .clang-format and the shell scripts
# with shellcheck, builds everything, runs clang-tidy over the program and the module library
# and runs every test; then builds and runs the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer (./build-asan-ubsan),
# and the module library's tests under ThreadSanitizer (./build-tsan).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/install-deps.sh"

"$root/scripts/check-format.sh"
"$root/scripts/shellcheck.sh"
"$root/scripts/build.sh"
"$root/scripts/tidy.sh"
(cd "${BUILD_DIR:-$root/build}" && ctest --output-on-failure -j"$jobs" --timeout 600)

cd "$root"
echo "== AddressSanitizer and UndefinedBehaviorSanitizer: every test but packaging"
echo "   (the packaging tests check the install layout and the .deb, not our code)"
cmake --preset asan-ubsan >/dev/null
cmake --build --preset asan-ubsan -j"$jobs"
ctest --preset asan-ubsan -j"$jobs"

echo "== ThreadSanitizer: the module library's tests but the 1,000-cycle memory one"
echo "   (it measures memory, not threads: the normal run and LeakSanitizer cover it)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$jobs"
ctest --preset tsan -j"$jobs"
