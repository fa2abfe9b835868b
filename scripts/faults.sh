#!/usr/bin/env bash
# The fault runs at full length: 100 previews whose host window is destroyed
# at a random moment, and the X server killed under the full-screen saver and
# under the preview 10 times each. CI runs the same tests shorter (ctest -L fault).
# Usage: scripts/faults.sh [BUILD_DIR] (default build/release, built with its tests)
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build/release}
tests=$dir/tests/e2e/quorix_fault_tests
if [ ! -x "$tests" ]; then
    echo "faults: $tests not found (cmake --build $dir --target quorix_fault_tests)" >&2
    exit 2
fi
QUORIX_FAULT_PREVIEWS=${QUORIX_FAULT_PREVIEWS:-100} \
    QUORIX_FAULT_SERVER_KILLS=${QUORIX_FAULT_SERVER_KILLS:-10} "$tests"
