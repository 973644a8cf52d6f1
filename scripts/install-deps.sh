#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need.
# Idempotent and quiet; meant to run as root on a fresh machine.
set -euo pipefail

# clang-format: Debian 12 ships version 14, the one the format test trusts
# (scripts/check-format.sh). python3 runs the layering check. The last line
# validates the installed files and builds and checks the Debian package.
packages=(
  build-essential cmake ninja-build ccache pkg-config git python3
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libx11-dev libxi-dev libxtst-dev libxkbcommon-dev
  libudev-dev libcanberra-dev libcurl4-openssl-dev
  xvfb xauth x11-utils xdotool xinput imagemagick trayer
  fonts-dejavu-core fonts-wqy-microhei
  desktop-file-utils appstream man-db groff-base dpkg-dev fakeroot file lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
