#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds quorix (Release) and runs it. On a
# desktop it opens the saver; without a display it writes a picture instead
# and says where.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"

bin=build/release
mkdir -p out
if [ -x $bin/app/quorix ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec $bin/app/quorix "$@"
elif [ -x $bin/tools/quorix-render/quorix-render ]; then
    $bin/tools/quorix-render/quorix-render --size 1024x768 --frames 1500 --png out/scene.png >/dev/null
    echo "No display: wrote out/scene.png"
elif [ -x $bin/tools/quorix-ball/quorix-ball-grid ]; then
    $bin/tools/quorix-ball/quorix-ball-grid out/balls.png
    echo "Wrote out/balls.png"
else
    echo "Nothing to run yet." >&2
    exit 1
fi
