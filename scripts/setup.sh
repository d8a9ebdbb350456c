#!/usr/bin/env bash
# Installs the Debian packages Lodestar builds and tests with, only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  libtiff-tools libimage-exiftool-perl hyperfine geotiff-bin
  xvfb xauth imagemagick
  help2man librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream
  openbox xdotool xdg-utils x11-utils
  fonts-liberation2 poppler-utils
  python3 strace util-linux parallel
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
