#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds quorix with its tests and runs them:
# first the Release build, then the address + undefined-behaviour sanitizer build.
# QUORIX_TEST_TYPES="Release" (or any list of build types) narrows the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh

types=${QUORIX_TEST_TYPES:-"Release asan"}
jobs=$(nproc)
for type in $types; do
    dir=build/$(echo "$type" | tr '[:upper:]' '[:lower:]')
    echo "== $type build in $dir"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
done
