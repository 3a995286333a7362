#!/usr/bin/env bash
# Compiles the Windows resource script with the MinGW resource compiler, reads the object back
# and checks the version record and the six-image icon in it.
# Usage: windows-rc.sh RC_FILE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
rc=$1
windres=x86_64-w64-mingw32-windres
need "$windres"
need cpp

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Without the MinGW compiler installed, the host's preprocessor stands in for it.
"$windres" --preprocessor=cpp -i "$rc" -o "$scratch/velsmoor.o" || fail "$windres could not compile $rc"
"$windres" -J coff -O rc -i "$scratch/velsmoor.o" -o "$scratch/back.rc" || fail "$windres could not read its own object back"

expect() {
    grep -Fq -- "$1" "$scratch/back.rc" || { cat "$scratch/back.rc" >&2; fail "the compiled resources lack: $1"; }
}
expect 'FILEVERSION 1, 0, 0, 1'
expect 'PRODUCTVERSION 1, 0, 0, 1'
expect 'VALUE "CompanyName", "Drelkin"'
expect 'VALUE "FileDescription", "Velsmoor, Part I [Orvantis]"'
expect 'VALUE "ProductName", "Drelkin - Velsmoor, Part I [Orvantis]"'
expect 'VALUE "FileVersion", "1.00.0001"'
expect 'VALUE "ProductVersion", "1.00.0001"'
expect 'RT_GROUP_ICON'
expect 'Has 6 elements'
# Each size in 256 colours (8 bits) and in 32-bit colour.
for dim in '\040\040' '\030\030' '\020\020'; do
    for bits in 8 32; do
        grep -Eq "\"${dim//\\/\\\\}[^\"]*\", 1, $bits," "$scratch/back.rc" \
            || { grep -A8 RT_GROUP_ICON "$scratch/back.rc" >&2; fail "no ${bits}-bit icon image of size $dim"; }
    done
done
echo "resource script compiled: version record and six icon images present"
