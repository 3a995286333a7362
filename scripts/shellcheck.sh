#!/usr/bin/env bash
# Runs shellcheck over every shell script in the tree (tracked files named *.sh and those whose
# first line starts a shell) and fails on any finding. Sourced helpers name their shell in a
# directive; .shellcheckrc lets shellcheck follow what a script sources from its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts=()
while IFS= read -r -d '' f; do
    if [[ $f == *.sh ]] || head -n1 -- "$f" | grep -qE '^#!.*[/ ](ba|da)?sh( |$)'; then
        scripts+=("$f")
    fi
done < <(git ls-files -z)
echo "shellcheck: ${#scripts[@]} scripts"
shellcheck --severity=style "${scripts[@]}"
