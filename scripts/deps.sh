#!/usr/bin/env bash
# Installs the Debian packages Brisvale needs to build, test and run; skips
# what is already installed. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-multimedia-dev libgl-dev
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev libtiff-dev libimagequant-dev
  libwebp-dev libavif-dev libheif-dev liblcms2-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  dpkg-dev lintian desktop-file-utils appstream man-db clang-format clang-tidy
  clang
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  xvfb xauth xdotool imagemagick fonts-dejavu-core
  dbus at-spi2-core python3-pyatspi orca speech-dispatcher
  netpbm libtiff-tools libjpeg-turbo-progs clang libclang-rt-14-dev time bc libvips-tools
  webp libavif-bin libheif-examples
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
