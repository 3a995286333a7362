#!/usr/bin/env bash
# Checks that every tracked C++ file is formatted as .clang-format says; lists those that are not
# and fails. `clang-format -i FILE...` formats them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' '*.hpp' '*.cc')
differ=()
for f in "${files[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || differ+=("$f")
done
if [ ${#differ[@]} -ne 0 ]; then
    echo "clang-format: ${#differ[@]} of ${#files[@]} files differ from .clang-format:"
    printf '  %s\n' "${differ[@]}"
    exit 1
fi
echo "clang-format: ${#files[@]} files as .clang-format says"
