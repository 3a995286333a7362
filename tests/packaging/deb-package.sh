#!/usr/bin/env bash
# Builds the Debian package with CPack, checks its control data, unpacks it with `dpkg -x` into a
# throw-away root and starts the program from there.
# Usage: deb-package.sh BUILD_DIR BINDIR PROGRAMDIR DATADIR VERSION
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=$1 bindir=$2 programdir=$3 datadir=$4 version=$5
need cpack
need dpkg-deb
need dpkg-shlibdeps
need appstreamcli
need file

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/cpack") >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB"; }
debs=("$scratch"/cpack/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velsmoor ] || fail "package name is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version is $(field Version)"
depends=$(field Depends)
echo "depends: $depends"
# Computed from the linked libraries: the toolkit, the module decoder and the audio output.
names=" $(sed -E 's/ \([^)]*\)//g; s/,//g' <<<"$depends") "
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libopenmpt0 libsdl2-2.0-0 libstdc++6; do
    [[ $names == *" $lib "* ]] || fail "Depends lacks $lib"
done

[ "$(field Recommends)" = qt6-wayland ] || fail "Recommends is '$(field Recommends)', not qt6-wayland"

root=$scratch/root
dpkg -x "$deb" "$root"
check_tree "$root/usr" "$bindir" "$programdir" "$datadir"
play_briefly "$root/usr/$bindir/velsmoor"
