#!/usr/bin/env bash
# Installs everything the project needs to build, run and test (Debian 12, as root or with sudo).
set -euo pipefail
PACKAGES=(
  build-essential cmake clang
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick python3
)
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
