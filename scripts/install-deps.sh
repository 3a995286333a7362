#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any of them is missing. Safe to run again: it does nothing when all are there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libopenmpt-dev libsdl2-dev libfftw3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool imagemagick sox openmpt123
  lintian man-db
  desktop-file-utils appstream dpkg-dev file binutils-mingw-w64-x86-64
  dbus-daemon playerctl pulseaudio pulseaudio-utils
  at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  qt6-wayland sway wayvnc grim python3
  clang-format clang-tidy shellcheck
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
