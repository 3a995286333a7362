#!/usr/bin/env bash
# Fuzzes the module library's load from memory plus one second of playing with libFuzzer, for
# SECONDS (default 600), seeded with the disk's tunes. Builds with clang in ./build-fuzz (or
# $FUZZ_BUILD_DIR). Inputs that crash, leak or run slow land in build-fuzz/findings/; once
# fixed, copy each into tests/bassmod/fuzz-regressions/, which the test suite replays.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELSMOOR_FUZZ=ON -DVELSMOOR_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target bassmod_load_fuzzer mods

# The working corpus grows across runs; the disk's tunes and the kept findings seed it.
mkdir -p "$build/corpus" "$build/findings"
"$build/bin/bassmod_load_fuzzer" "$build/corpus" "$build/bin/mods" "$root/tests/bassmod/fuzz-regressions" \
  -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$build/findings/"
