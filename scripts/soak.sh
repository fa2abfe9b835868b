#!/usr/bin/env bash
# Soak run of the renderer under AddressSanitizer and UndefinedBehaviorSanitizer:
# quorix-render from an asan build over every style, 20 and 100 balls, ball sizes
# 30 and 60 and frame sizes from 1x1 to 7680x4320, about a million frames in all.
# Most frames go to the small sizes, a few hundred to 7680x4320: 96 runs,
# 1,008,320 frames at the default scale.
# Usage: scripts/soak.sh [ASAN_BUILD_DIR] [SCALE_PERCENT]
# Prints one line per run and a total; exits non-zero if any run reported.
set -uo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build/asan}
scale=${2:-100}
render=$dir/tools/quorix-render/quorix-render
if [ ! -x "$render" ]; then
    echo "soak: $render not found (cmake -B $dir -DCMAKE_BUILD_TYPE=asan; build quorix-render)" >&2
    exit 2
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

# frame size and frames per run there
sizes=("1x1 19000" "2x2 19000" "17x3 19000" "152x112 5000" "1920x1080 1000" "7680x4320 20")
log=$(mktemp)
trap 'rm -f "$log"' EXIT
total=0
reports=0
runs=0
seed=1
for entry in "${sizes[@]}"; do
    read -r size frames <<<"$entry"
    frames=$(((frames * scale + 99) / 100))
    for style in 0 1 2 3; do
        for balls in 20 100; do
            for ballSize in 30 60; do
                seed=$(((seed * 1103515245 + 12345) % 4294967296))
                start=$SECONDS
                "$render" --size "$size" --style "$style" --balls "$balls" --ball-size "$ballSize" \
                    --seed "$seed" --frames "$frames" >/dev/null 2>"$log"
                rc=$?
                found=$(grep -c -E 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$log")
                runs=$((runs + 1))
                if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
                    reports=$((reports + (found > 0 ? found : 1)))
                    echo "REPORT size $size style $style balls $balls size $ballSize seed $seed: exit $rc"
                    head -40 "$log"
                else
                    total=$((total + frames))
                fi
                printf '%-10s style %d balls %3d ball size %d seed %10d: %6d frames, %3d s\n' \
                    "$size" "$style" "$balls" "$ballSize" "$seed" "$frames" $((SECONDS - start))
            done
        done
    done
done
echo "soak: $runs runs, $total frames without a report, $reports reports"
[ "$reports" -eq 0 ]
