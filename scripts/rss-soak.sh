#!/usr/bin/env bash
# Runs the full-screen saver for a long time under an Xvfb of its own and
# samples its resident memory (VmRSS in /proc/PID/status), to show that a
# long-running saver neither leaks nor grows.
# Usage: scripts/rss-soak.sh [BUILD_DIR] [SECONDS] [SCREEN]
#   defaults: build/release, 1800 s (30 minutes), 1920x1080x24.
# Prints a sample a minute and the start and end figures; fails if the saver
# ends early or its memory at the end exceeds the first minute's by 4 MiB.
set -uo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build/release}
duration=${2:-1800}
screen=${3:-1920x1080x24}
program=$dir/app/quorix
[ -x "$program" ] || program=$(find "$dir" -maxdepth 2 -type f -name quorix -perm -u+x | head -1)
if [ ! -x "$program" ]; then
    echo "rss-soak: no quorix program in $dir" >&2
    exit 2
fi

work=$(mktemp -d)
xvfb=
saver=
cleanup() {
    [ -n "$saver" ] && kill "$saver" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 "$screen" -nolisten tcp -noreset 5>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 150); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
display=:$(head -1 "$work/display")
[ "$display" != ":" ] || { echo "rss-soak: Xvfb did not start" >&2; exit 2; }

DISPLAY=$display QUORIX_REGISTRY=$work/registry.reg "$program" /s 2>"$work/stderr" &
saver=$!

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$saver/status" 2>/dev/null; }

echo "rss-soak: $program /s on $display ($screen), pid $saver, $duration s"
sleep 5
start=$(rss)
echo "  0 min: ${start:-?} kB (5 s after the start)"
first=
elapsed=5
while [ "$elapsed" -lt "$duration" ]; do
    step=$((duration - elapsed < 60 ? duration - elapsed : 60))
    sleep "$step"
    elapsed=$((elapsed + step))
    now=$(rss)
    if [ -z "$now" ]; then
        echo "rss-soak: the saver ended after $elapsed s: $(cat "$work/stderr")" >&2
        exit 1
    fi
    [ -z "$first" ] && first=$now
    echo "  $((elapsed / 60)) min: $now kB"
done
end=$(rss)
echo "rss-soak: start ${start} kB, after the first minute ${first} kB, end ${end} kB" \
    "($(((end - first))) kB since the first minute)"
[ -s "$work/stderr" ] && echo "rss-soak: stderr: $(cat "$work/stderr")"
[ $((end - first)) -le 4096 ]
