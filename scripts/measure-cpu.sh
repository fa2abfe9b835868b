#!/usr/bin/env bash
# CPU cost of the full-screen saver: starts an Xvfb of the given size, runs
# `quorix /s` with the given settings, and reads the process's own user and
# system time from /proc/PID/stat over a window that starts after the intro.
#
#   scripts/measure-cpu.sh [-b BINARY] [-s WxH] [-d DEPTH] [-y STYLE] [-n BALLS]
#                          [-z SIZE] [-w WARMUP_S] [-t WINDOW_S] [-r ROUNDS]
#
# Defaults: build/release/app/quorix, 1920x1080, depth 24, Style 1 (Normal),
# 100 balls of size 60, 20 s warm-up, 30 s window, 1 round. Prints the
# percentage of one core taken by quorix, and by the X server over the same
# window. Every start draws a new scene, and the cost of one window varies with
# it (by a factor of two at times): with -r the saver is started ROUNDS times
# and the medians are printed after the rounds.
set -euo pipefail

binary=build/release/app/quorix
size=1920x1080
depth=24
style=1
balls=100
ballSize=60
warmup=20
window=30
rounds=1
while getopts "b:s:d:y:n:z:w:t:r:" opt; do
    case $opt in
        b) binary=$OPTARG ;;
        s) size=$OPTARG ;;
        d) depth=$OPTARG ;;
        y) style=$OPTARG ;;
        n) balls=$OPTARG ;;
        z) ballSize=$OPTARG ;;
        w) warmup=$OPTARG ;;
        t) window=$OPTARG ;;
        r) rounds=$OPTARG ;;
        *) sed -n '5,14p' "$0" >&2; exit 2 ;;
    esac
done
[ -x "$binary" ] || { echo "no program at $binary" >&2; exit 1; }

xvfbPid=
saverPid=
scratch=
cleanup() {
    if [ -n "$saverPid" ]; then kill "$saverPid" 2>/dev/null && wait "$saverPid" 2>/dev/null || true; fi
    if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null && wait "$xvfbPid" 2>/dev/null || true; fi
    if [ -n "$scratch" ]; then rm -rf "$scratch"; fi
    saverPid= xvfbPid= scratch=
}
# One start of the saver: prints its line and adds its two figures to $results.
results=$(mktemp)
cleanupAll() {
    cleanup
    rm -f "$results"
}
trap cleanupAll EXIT

measure_once() {
    scratch=$(mktemp -d)
    # The server picks a free display number and writes it to the pipe.
    Xvfb -displayfd 1 -screen 0 "${size}x${depth}" -nolisten tcp -noreset \
        >"$scratch/display" 2>/dev/null &
    xvfbPid=$!
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        sleep 0.1
    done
    display=":$(head -n1 "$scratch/display")"
    [ "$display" != ":" ] || { echo "Xvfb did not start" >&2; exit 1; }

    registry="$scratch/registry.reg"
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\r\n' >"$registry"
    printf '"Style"=dword:%08x\r\n"NumOfBalls"=dword:%08x\r\n"SizOfBalls"=dword:%08x\r\n' \
        "$style" "$balls" "$ballSize" >>"$registry"

    DISPLAY=$display QUORIX_REGISTRY=$registry "$binary" /s &
    saverPid=$!

    # utime + stime in clock ticks (fields 14 and 15, after the parenthesised name).
    ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }

    sleep "$warmup"
    kill -0 "$saverPid" 2>/dev/null || { echo "quorix ended early" >&2; exit 1; }
    saver0=$(ticks "$saverPid")
    server0=$(ticks "$xvfbPid")
    start=$(date +%s.%N)
    sleep "$window"
    saver1=$(ticks "$saverPid")
    server1=$(ticks "$xvfbPid")
    end=$(date +%s.%N)
    kill -0 "$saverPid" 2>/dev/null || { echo "quorix ended early" >&2; exit 1; }

    hz=$(getconf CLK_TCK)
    awk -v a="$saver0" -v b="$saver1" -v c="$server0" -v d="$server1" -v s="$start" -v e="$end" \
        -v hz="$hz" -v size="$size" -v depth="$depth" 'BEGIN {
            t = e - s
            printf "%s x%s: quorix %.2f %% of one core, X server %.2f %% (over %.1f s)\n",
                   size, depth, 100 * (b - a) / hz / t, 100 * (d - c) / hz / t, t
        }' | tee -a "$results"
    cleanup
}

for ((round = 0; round < rounds; ++round)); do
    measure_once
done
if ((rounds > 1)); then
    median() { sort -g | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
    q=$(awk '{ print $4 }' "$results" | median)
    x=$(awk '{ print $11 }' "$results" | median)
    echo "median of $rounds rounds: quorix $q % of one core, X server $x %"
fi
