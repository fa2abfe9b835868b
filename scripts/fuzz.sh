#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang++ (address and
# undefined-behaviour checks) in build/fuzz and runs each of them, one at a
# time, from its seed corpus in tests/fuzz/corpus. The corpus grown by a run
# stays in build/fuzz/corpus for the next one; a crash leaves its input in
# build/fuzz/artifacts and ends the script with status 1.
#
#   scripts/fuzz.sh time SECONDS [HARNESS...]   each harness for SECONDS
#   scripts/fuzz.sh runs COUNT [HARNESS...]     each harness for COUNT runs;
#                                               HARNESS=COUNT sets one's own
# HARNESS is a name of tests/fuzz (version_reader, registry_file, ...). Each
# harness runs as one process, so that the run takes one core.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-time}
amount=${2:-10}
shift 2 || true
all=(command_line version_reader dialog_template registry_file ball_renderer)
[ $# -gt 0 ] || set -- "${all[@]}"

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ not found, the fuzzers are not built"
    exit 0
fi

dir=build/fuzz
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQUORIX_FUZZ=ON -DQUORIX_BUILD_BENCH=OFF \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang "${launcher[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target quorix_fuzzers

mkdir -p "$dir/artifacts"
total=0
status=0
for item in "$@"; do
    name=${item%%=*}
    count=$amount
    [ "$item" = "$name" ] || count=${item#*=}
    corpus=$dir/corpus/$name
    mkdir -p "$corpus"
    case $mode in
        time) limit=(-max_total_time="$count") ;;
        runs) limit=(-runs="$count") ;;
        *) echo "fuzz: unknown mode $mode (time or runs)" >&2; exit 2 ;;
    esac
    log=$dir/$name.log
    if "$dir/tests/fuzz/fuzz_$name" "${limit[@]}" -print_final_stats=1 \
        -artifact_prefix="$dir/artifacts/$name-" "$corpus" "tests/fuzz/corpus/$name" \
        >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        echo "fuzz: $name: ${runs:-0} runs, no crash"
        total=$((total + ${runs:-0}))
    else
        echo "fuzz: $name: FAILED, see $log and $dir/artifacts"
        tail -30 "$log"
        status=1
    fi
done
echo "fuzz: $total runs in all"
exit $status
