#!/usr/bin/env bash
# Installs every Debian package that building, testing and running need. Idempotent and
# quiet when everything is already there; uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libpixman-1-dev
  libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri
  googletest libgtest-dev libbenchmark-dev libstb-dev
  clang libclang-rt-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
