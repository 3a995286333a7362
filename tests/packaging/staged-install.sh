#!/usr/bin/env bash
# Installs the build into a throw-away prefix with `cmake --install`, checks the tree and starts
# the installed program through its bin/ symlink.
# Usage: staged-install.sh BUILD_DIR BINDIR PROGRAMDIR DATADIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=$1 bindir=$2 programdir=$3 datadir=$4
need appstreamcli
need file

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 \
    || { cat "$scratch/install.log" >&2; fail "cmake --install"; }
check_tree "$prefix" "$bindir" "$programdir" "$datadir"
play_briefly "$prefix/$bindir/velsmoor"
(cd "$prefix" && find . | sort)
