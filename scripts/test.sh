#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds quorix with its tests and runs them:
# first the Release build, then the address + undefined-behaviour sanitizer build,
# then the thread sanitizer build (its timing, platform, user-interface, end-to-end
# and fault groups),
# then the Windows build under Wine (scripts/test-windows.sh), then a short
# fuzzing run of every harness in tests/fuzz (scripts/fuzz.sh; skipped with a
# line when clang++ is missing).
# QUORIX_TEST_TYPES="Release" (or any list of build types, "windows" and
# "fuzz") narrows the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh

types=${QUORIX_TEST_TYPES:-"Release asan tsan windows fuzz"}
jobs=$(nproc)
for type in $types; do
    if [ "$type" = windows ]; then
        scripts/test-windows.sh build/windows
        continue
    fi
    if [ "$type" = fuzz ]; then
        scripts/fuzz.sh time 12
        continue
    fi
    dir=build/$(echo "$type" | tr '[:upper:]' '[:lower:]')
    echo "== $type build in $dir"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
    if [ "$type" = tsan ]; then
        cmake --build "$dir" -j "$jobs" --target quorix quorix_timing_tests quorix_win32_tests \
            quorix_posix_tests quorix_framework_tests quorix_x11_tests quorix_dialog_tests \
            quorix_ui_tests quorix_e2e_tests quorix_ui_e2e_tests quorix_fault_tests
        ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600 \
            -L '^(timing|platform|ui|e2e|fault)$' -E '^RealTimerTest\.'
        continue
    fi
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
done
