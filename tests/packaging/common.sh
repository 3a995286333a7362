# shellcheck shell=bash
# Shared checks of an installed tree: sourced by the packaging tests.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need() {
    command -v "$1" >/dev/null || fail "$1 not found (scripts/install-deps.sh installs it)"
}

# The tune list's module files, all of which the installed mods/ must hold.
module_files=()
while IFS=$'\t' read -r file _; do
    case $file in '' | '#'*) continue ;; esac
    module_files+=("$file")
done <"$(dirname "${BASH_SOURCE[0]}")/../../catalogue/tracks.tsv"
[ "${#module_files[@]}" -gt 0 ] || fail "no module files in catalogue/tracks.tsv"

# check_tree PREFIX BINDIR PROGRAMDIR DATADIR: the files a user's machine gets under PREFIX (the
# three folders relative to it).
check_tree() {
    local root=$1 bindir=$2 programdir=$3 datadir=$4
    local launcher=$root/$bindir/velsmoor folder=$root/$programdir

    [ -L "$launcher" ] || fail "$bindir/velsmoor is not a symlink"
    case $(readlink "$launcher") in
        /*) fail "$bindir/velsmoor points to an absolute path: $(readlink "$launcher")" ;;
    esac
    [ "$(readlink -f "$launcher")" = "$(readlink -f "$folder/velsmoor")" ] \
        || fail "$bindir/velsmoor does not lead to $programdir/velsmoor"
    [ -x "$folder/velsmoor" ] || fail "$programdir/velsmoor is not executable"
    [ -f "$folder/libbassmod.so" ] || fail "$programdir/libbassmod.so is missing"
    # The media controls show it as the cover, from beside the program.
    file -b "$folder/cover.png" | grep -q "PNG image data" || fail "$programdir/cover.png is missing"
    for f in "${module_files[@]}"; do
        [ -s "$folder/mods/$f" ] || fail "$programdir/mods/$f is missing or empty"
    done

    local desktop=$root/$datadir/applications/org.drelkin.Velsmoor.desktop
    [ -f "$desktop" ] || fail "the desktop entry is not installed"
    grep -qx 'Exec=velsmoor' "$desktop" || fail "the desktop entry does not start velsmoor"
    grep -qx 'Icon=org.drelkin.Velsmoor' "$desktop" || fail "the desktop entry names another icon"
    [ -f "$root/$datadir/metainfo/org.drelkin.Velsmoor.metainfo.xml" ] \
        || fail "the AppStream metainfo is not installed"
    local size icon
    for size in 16 24 32 48 64 128 256; do
        icon=$root/$datadir/icons/hicolor/${size}x${size}/apps/org.drelkin.Velsmoor.png
        [ -f "$icon" ] || fail "the ${size}px icon is not installed"
        file -b "$icon" | grep -q "PNG image data, $size x $size," \
            || fail "the ${size}px icon is $(file -b "$icon")"
    done

    # The tree as a software centre sees it: entry, metainfo and icon must agree.
    # shellcheck disable=SC2154 # scratch is the folder of the test that sources this file
    appstreamcli validate-tree --no-net "$root" >"$scratch/validate-tree.log" 2>&1 \
        || { cat "$scratch/validate-tree.log" >&2; fail "appstreamcli validate-tree"; }
}

# play_briefly PROGRAM: starts the program headless from an unrelated folder, lets it run for two
# seconds with SDL's disk audio driver and checks that it reported no error and that the first
# tune was sounding.
play_briefly() {
    local program=$1 audio=$scratch/audio.raw log=$scratch/program.log rc=0
    rm -f "$audio"
    (cd / && env -u QT_QPA_PLATFORMTHEME -u DISPLAY -u WAYLAND_DISPLAY \
        QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" \
        VELSMOOR_AUTO_DISMISS_MS=100 \
        timeout -k 3 2 "$program") >"$log" 2>&1 || rc=$?
    [ "$rc" -eq 124 ] || { cat "$log" >&2; fail "$program ended by itself (exit $rc) within 2 s"; }
    if grep -q '^Error box:' "$log"; then
        grep '^Error box:' "$log" >&2
        fail "$program reported errors"
    fi
    [ -f "$audio" ] || fail "no audio was written"
    # 16-bit stereo at 44100 Hz: at least half a second of it, and not all of it silence.
    local bytes nonzero
    bytes=$(stat -c %s "$audio")
    [ "$bytes" -ge 88200 ] || fail "only $bytes bytes of audio in 2 s"
    nonzero=$(tr -d '\000' <"$audio" | wc -c)
    [ "$nonzero" -ge $((bytes / 10)) ] || fail "the audio is silent ($nonzero of $bytes bytes not zero)"
    echo "played: $bytes bytes of audio, $nonzero of them not zero"
}
