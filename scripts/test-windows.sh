#!/usr/bin/env bash
# Builds quorix.scr and its tests for Windows with mingw-w64 and runs them
# under Wine, in a Wine prefix and on an X server of their own.
# Usage: scripts/test-windows.sh [BUILD-DIR]   (default build/windows)
# With a Linux Release build in build/release its resource generators are used
# natively; else the Windows build runs its own through Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build/windows}
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || ! command -v wine >/dev/null; then
    echo "== Windows build skipped: mingw-w64 (posix) or Wine is missing"
    exit 0
fi

host_tools=()
if [ -x build/release/res/quorix-icon-gen ]; then
    host_tools=(-DQUORIX_HOST_TOOLS="$PWD/build/release/res")
fi
echo "== Windows build in $dir"
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    "${host_tools[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"

scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
    WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# An X server on a free display for Wine's windows.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$scratch/display")"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "== Wine prefix in $WINEPREFIX, display $DISPLAY"
wineboot -i >/dev/null 2>&1
wineserver -w

ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 600
