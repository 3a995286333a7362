#!/usr/bin/env bash
# Builds the Debian package with CPack, checks its control data and its documents, runs lintian
# on it (an error or a warning fails), unpacks it with `dpkg -x` into a throw-away root and starts
# the program from there.
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
need lintian
need man

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/cpack") >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB"; }
debs=("$scratch"/cpack/*.deb)
{ [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ]; } || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velsmoor ] || fail "package name is $(field Package)"
# The disk's version, packaged for the first time.
[ "$(field Version)" = "$version-1" ] || fail "package version is $(field Version)"
summary=$(field Description | sed -n 1p)
case ${summary,,} in velsmoor*) fail "the description starts with the package name: $summary" ;; esac
long=$(field Description | awk 'length > 80 && !found { print; found = 1 }')
[ -z "$long" ] || fail "a description line is longer than 80 columns: $long"
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
doc=$root/usr/share/doc/velsmoor
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright" \
    || fail "the copyright file is not machine-readable"
zcat "$doc/changelog.Debian.gz" | sed -n 1p | grep -Fqx "velsmoor ($version-1) unstable; urgency=medium" \
    || fail "the changelog's first entry is not this version: $(zcat "$doc/changelog.Debian.gz" | sed -n 1p)"
page=$(MANWIDTH=80 man -l "$root/usr/share/man/man6/velsmoor.6.gz" 2>&1) || fail "the manual page does not render"
for word in SDL_AUDIODRIVER DISPLAY ./scripts/run.sh /usr/lib/velsmoor/mods/; do
    grep -Fq -- "$word" <<<"$page" || fail "the manual page does not mention $word"
done
play_briefly "$root/usr/$bindir/velsmoor"

# Nothing the dynamic linker needs to hear about: the module library is private to the program.
dpkg-deb --ctrl-tarfile "$deb" | tar -t >"$scratch/control.list"
if grep -Eq '(postinst|postrm|triggers)$' "$scratch/control.list"; then
    fail "maintainer scripts or triggers in the package: $(tr '\n' ' ' <"$scratch/control.list")"
fi

# As Debian checks a package: lintian's output goes into the log for the record.
TMPDIR="$scratch" lintian --no-cfg --show-overrides "$deb" >"$scratch/lintian.log" 2>&1 || true
echo "lintian $(lintian --version | awk '{print $2}'):"
grep -v '^running with root privileges' "$scratch/lintian.log" || true
if grep -Eq '^[EW]: ' "$scratch/lintian.log"; then
    fail "lintian found errors or warnings"
fi
