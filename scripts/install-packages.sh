#!/bin/bash
# Installs the Debian packages that building, running and testing the menu need, when any of
# them is missing. Uses apt-get as root, or through sudo; otherwise says what to install.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-liberation2 nlohmann-json3-dev libxrandr-dev libx11-dev
  libgtest-dev libbenchmark-dev
  xvfb x11-xserver-utils x11-utils xdotool imagemagick
  clang libclang-rt-14-dev
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Cannot install packages: not root and no sudo. Please install: ${missing[*]}" >&2
  exit 1
fi
if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q ||
  ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  echo "Installing the packages failed. Please install: ${missing[*]}" >&2
  exit 1
fi
