#!/usr/bin/env bash
# The memory the region map takes: the peak resident memory of the window
# with a project open, without the map and with it open over a batch of
# 1,000 areas with their traces, the sample imagery and outlines, zoomed and
# dragged about (bench/map_memory.cpp), each run a process of its own.
# Prints the medians and the difference (goal: at most 20 MB more).
#   scripts/measure_map_memory.sh [RUNS]    (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
build="${QUILLMAP4_BENCH_BUILD_DIR:-build-bench}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLMAP4_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target map_memory >/dev/null
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

for _ in $(seq "$runs"); do
    rm -rf "$XDG_CONFIG_HOME"
    "$build/bench/map_memory" 2>/dev/null >>"$work/without"
    rm -rf "$XDG_CONFIG_HOME"
    "$build/bench/map_memory" map 2>/dev/null >>"$work/with"
done
without=$(median <"$work/without")
with=$(median <"$work/with")
echo "platform: $QT_QPA_PLATFORM, $runs runs each"
echo "window with a project open:       median peak memory $without kB"
echo "the same with the region map open: median peak memory $with kB"
awk -v a="$without" -v b="$with" 'BEGIN {
    d = (b - a) / 1024
    printf "the map takes %.1f MB more (goal at most 20 MB: %s)\n", d, d <= 20 ? "met" : "missed"
}'
