#!/bin/bash
# Frame cost of this tree beside a base revision (default 50ca6da), measured in one run:
# builds the base in a scratch folder and this tree in build/release (both Release),
# runs quorix_frame_cost for every size and ball count alternately, ROUNDS times, and
# prints the median CPU time per frame of each and their ratio.
#
#   bench/compare.sh [BASE]
#   SIZES="1920x1080" BALLS="100" STYLE=1 ROUNDS=5 bench/compare.sh
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
base=${1:-50ca6da}
sizes=${SIZES:-"1280x720 1920x1080 3840x2160"}
balls=${BALLS:-"20 52 100"}
style=${STYLE:-1}
rounds=${ROUNDS:-3}
scratch=${SCRATCH:-/tmp/quorix-compare-$base}
new_build=${NEW_BUILD:-$repo/build/release}
jobs=${JOBS:-2}

launchers=()
if command -v ccache > /dev/null; then
    launchers=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The base tree, with the measuring program added. Its scene file is the first version
# of ours, written against the engine set-up API the base revision has.
rm -rf "$scratch/src"
mkdir -p "$scratch/src"
git -C "$repo" archive "$base" | tar -x -C "$scratch/src"
cp "$repo/bench/engine/frame_cost.cpp" "$repo/bench/engine/frame_cost_scene.h" \
    "$scratch/src/bench/engine/"
added=$(git -C "$repo" log --diff-filter=A --format=%H -- bench/engine/frame_cost_scene.cpp |
    tail -n 1)
if [ -n "$added" ]; then
    git -C "$repo" show "$added:bench/engine/frame_cost_scene.cpp" \
        > "$scratch/src/bench/engine/frame_cost_scene.cpp"
else
    cp "$repo/bench/engine/frame_cost_scene.cpp" "$scratch/src/bench/engine/"
fi
if ! grep -q quorix_frame_cost "$scratch/src/bench/engine/CMakeLists.txt"; then
    printf '%s\n' 'add_executable(quorix_frame_cost frame_cost.cpp frame_cost_scene.cpp)' \
        'target_link_libraries(quorix_frame_cost PRIVATE quorix_engine)' \
        >> "$scratch/src/bench/engine/CMakeLists.txt"
fi

build() {  # source folder, build folder
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release "${launchers[@]}" > "$2.log" 2>&1 ||
        { cat "$2.log"; exit 1; }
    cmake --build "$2" -j"$jobs" --target quorix_frame_cost >> "$2.log" 2>&1 ||
        { tail -n 40 "$2.log"; exit 1; }
}
mkdir -p "$new_build"
build "$scratch/src" "$scratch/build"
build "$repo" "$new_build"
old_bin=$scratch/build/bench/engine/quorix_frame_cost
new_bin=$new_build/bench/engine/quorix_frame_cost

run() {  # program, width, height, balls
    "$1" "$2" "$3" "$style" "$4" | awk '/^frame_ms/ { print $2 }'
}
median() {
    tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "base $base ($(git -C "$repo" rev-parse --short "$base")) vs tree" \
    "$(git -C "$repo" rev-parse --short HEAD)$(git -C "$repo" diff --quiet HEAD || echo +changes)," \
    "style $style, ball size 60, frames 1000-3000, CPU ms per frame, median of $rounds rounds"
printf '%-10s %5s %10s %10s %7s\n' size balls base_ms tree_ms ratio
for size in $sizes; do
    w=${size%x*}
    h=${size#*x}
    for n in $balls; do
        old=""
        new=""
        for ((r = 0; r < rounds; ++r)); do
            # Alternate which one runs first, so that drift on a busy machine evens out.
            if ((r % 2 == 0)); then
                old+=" $(run "$old_bin" "$w" "$h" "$n")"
                new+=" $(run "$new_bin" "$w" "$h" "$n")"
            else
                new+=" $(run "$new_bin" "$w" "$h" "$n")"
                old+=" $(run "$old_bin" "$w" "$h" "$n")"
            fi
        done
        mo=$(echo "$old" | median)
        mn=$(echo "$new" | median)
        printf '%-10s %5s %10.3f %10.3f %7.3f\n' "$size" "$n" "$mo" "$mn" \
            "$(awk -v a="$mn" -v b="$mo" 'BEGIN { print a / b }')"
    done
done
