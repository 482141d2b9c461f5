#!/usr/bin/env bash
# Installs every Debian package the build, the programs and the tests need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  libudev-dev
  libx11-dev libxtst-dev libxi-dev libxcb-xkb-dev x11-xserver-utils
  xvfb xauth fonts-liberation2 fonts-wqy-microhei xdotool x11-utils
  python3
  cmark-gfm desktop-file-utils appstream dpkg-dev
  xdg-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
