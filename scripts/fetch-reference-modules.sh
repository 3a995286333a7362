#!/usr/bin/env bash
# Fetches a reference set of tracker modules written by people (game soundtracks from
# Debian's game data packages) into a cache folder outside the repository, for
# tools/musicstats to compare the disk's own tunes with. Nothing here is ever committed.
#
#   scripts/fetch-reference-modules.sh [CACHE]      (default ~/.cache/velsmoor-reference)
#
# The modules land in CACHE/modules with CACHE/modules/manifest.tsv naming each file's
# package, version and licence (read from the package's copyright file).
set -euo pipefail

cache=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/velsmoor-reference}

# package | path inside the package
modules=(
  "pingus-data|usr/share/games/pingus/data/music/goin_march.it"
  "pingus-data|usr/share/games/pingus/data/music/rough_journey.it"
  "pingus-data|usr/share/games/pingus/data/music/the_big_march_in_space.it"
  "pingus-data|usr/share/games/pingus/data/music/pingus-2.it"
  "pingus-data|usr/share/games/pingus/data/music/pingus-3.it"
  "pingus-data|usr/share/games/pingus/data/music/pingus-5.it"
  "pingus-data|usr/share/games/pingus/data/music/sorcerer.it"
  "pingus-data|usr/share/games/pingus/data/music/gd-giirm.s3m"
  "pachi-data|usr/share/pachi/music/credits.s3m"
  "pachi-data|usr/share/pachi/music/menu.s3m"
  "pachi-data|usr/share/pachi/music/stage3.s3m"
  "pachi-data|usr/share/pachi/music/stage4.s3m"
  "heroes-sound-tracks|usr/share/games/heroes/mod/heroes01.xm"
  "heroes-sound-tracks|usr/share/games/heroes/mod/heroes04.xm"
  "heroes-sound-tracks|usr/share/games/heroes/mod/heroes06.xm"
  "heroes-sound-tracks|usr/share/games/heroes/mod/heroes09.xm"
  "monsterz-data|usr/share/games/monsterz/sound/music.s3m"
  "cuyo-data|usr/share/games/cuyo/sounds/cuyo.it"
  "solarwolf|usr/share/games/solarwolf/data/music/arg.xm"
  "njam-data|usr/share/games/njam/data/satisfy.xm"
  "ri-li-data|usr/share/games/ri-li/Ri-li/Sounds/jeu2.xm"
)

# Licence of one installed file as the package's copyright file states it. A
# machine-readable file is searched for the last Files: stanza whose pattern matches
# the end of the installed path; a free-form one is recognised from the usual wording.
licence_of() {
  local file=$1 path=$2 found="" pattern licence
  while IFS=$'\t' read -r pattern licence; do
    # shellcheck disable=SC2053  # the pattern is a glob on purpose
    if [[ $pattern == "*" || "/$path" == */$pattern ]]; then found=$licence; fi
  done < <(awk '
    /^Files:/ { n = split(substr($0, 7), p, " "); infiles = 1; next }
    infiles && /^[ \t]/ { m = split($0, q, " "); for (i = 1; i <= m; i++) p[++n] = q[i]; next }
    { infiles = 0 }
    /^License:/ && n > 0 { sub(/^License:[ \t]*/, ""); for (i = 1; i <= n; i++) print p[i] "\t" $0; n = 0 }
  ' "$file")
  if [ -n "$found" ]; then
    echo "$found"
    return
  fi
  local text later=""
  text=$(tr -s '[:space:]' ' ' <"$file")
  grep -qi 'any later version' <<<"$text" && later="+"
  if grep -qi 'Lesser General Public License' <<<"$text"; then
    echo "LGPL$later"
  elif grep -qi 'GNU General Public License' <<<"$text"; then
    local v=""
    grep -qi 'version 2' <<<"$text" && v="-2"
    grep -qi 'version 3' <<<"$text" && [ -z "$v" ] && v="-3"
    echo "GPL$v$later"
  elif grep -qi 'Permission is hereby granted, free of charge' <<<"$text"; then
    echo "Expat"
  else
    echo "see copyright file"
  fi
}

# The package file already in the cache, if any.
downloaded() {
  local f
  for f in "$cache/debs/$1"_*.deb; do
    [ -f "$f" ] && echo "$f" && return
  done
  true
}

mkdir -p "$cache/debs" "$cache/unpacked" "$cache/modules"
# As root, apt would hand the download to its own user, who cannot write into a home folder.
apt_options=()
[ "$(id -u)" -eq 0 ] && apt_options=(-o APT::Sandbox::User=root)
declare -A version
for entry in "${modules[@]}"; do
  pkg=${entry%%|*}
  [ -n "${version[$pkg]:-}" ] && continue
  deb=$(downloaded "$pkg")
  if [ -z "$deb" ]; then
    echo "Downloading $pkg"
    if ! (cd "$cache/debs" && apt-get download -q "${apt_options[@]}" "$pkg" >/dev/null); then
      echo "fetch-reference-modules: cannot download $pkg (try 'sudo apt-get update' first)" >&2
      exit 1
    fi
    deb=$(downloaded "$pkg")
  fi
  if [ ! -d "$cache/unpacked/$pkg" ]; then
    dpkg-deb -x "$deb" "$cache/unpacked/$pkg.tmp"
    mv "$cache/unpacked/$pkg.tmp" "$cache/unpacked/$pkg"
  fi
  version[$pkg]=$(dpkg-deb -f "$deb" Version)
done

manifest="$cache/modules/manifest.tsv"
printf 'file\tpackage\tversion\tlicence\tpath in package\n' >"$manifest"
count=0
for entry in "${modules[@]}"; do
  pkg=${entry%%|*}
  path=${entry#*|}
  src="$cache/unpacked/$pkg/$path"
  name=$(basename "$path")
  if [ ! -f "$src" ]; then
    echo "fetch-reference-modules: $pkg ${version[$pkg]} has no $path; skipped" >&2
    continue
  fi
  cp "$src" "$cache/modules/$name"
  copyright="$cache/unpacked/$pkg/usr/share/doc/$pkg/copyright"
  licence="see copyright file"
  [ -f "$copyright" ] && licence=$(licence_of "$copyright" "$path")
  printf '%s\t%s\t%s\t%s\t%s\n' "$name" "$pkg" "${version[$pkg]}" "$licence" "/$path" >>"$manifest"
  count=$((count + 1))
done

echo "$count reference modules in $cache/modules (manifest: $manifest)"
[ "$count" -ge 12 ] || { echo "fetch-reference-modules: fewer than 12 modules" >&2; exit 1; }
