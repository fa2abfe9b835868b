#!/usr/bin/env bash
# Installs what building, running and testing quorix needs on Debian, skipping
# what is there already. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format clang
    googletest libgtest-dev libbenchmark-dev
    libx11-dev libxext-dev libxft-dev libfontconfig-dev libxrandr-dev libxfixes-dev
    libpng-dev fonts-dejavu-core
    xvfb xdotool x11-apps x11-utils
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
    dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
