#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again:
# it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev fonts-liberation
  libmpg123-dev mpg123
  libsdl2-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libaubio-dev librubberband-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  lame ffmpeg
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  apt_get=(apt-get)
else
  apt_get=(sudo apt-get)
fi
echo "Installing: ${missing[*]}"
"${apt_get[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${apt_get[@]}" install -y -qq "${missing[@]}"
