#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds quorix with its tests and runs them:
# first the Release build, then the address + undefined-behaviour sanitizer build,
# then the Windows build under Wine (scripts/test-windows.sh).
# QUORIX_TEST_TYPES="Release" (or any list of build types and "windows") narrows the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh

types=${QUORIX_TEST_TYPES:-"Release asan windows"}
jobs=$(nproc)
for type in $types; do
    if [ "$type" = windows ]; then
        scripts/test-windows.sh build/windows
        continue
    fi
    dir=build/$(echo "$type" | tr '[:upper:]' '[:lower:]')
    echo "== $type build in $dir"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
done
