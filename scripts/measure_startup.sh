#!/usr/bin/env bash
# Start-up to the first shown window, and the memory it takes, for the
# program's main window against a bare Qt Widgets main window showing one
# text label, measured in one session with the runs of the two alternating.
# Each run is a whole process, from exec to the first exposed and painted
# window of a first start (a fresh settings folder, so the window opens at its
# own size); memory is its peak resident set. Prints the medians and the two
# ratios (goals: time and memory at most 1.2x the bare window).
#   scripts/measure_startup.sh [RUNS]    (default 21)
# Runs under Xvfb when there is no display and xvfb-run is there; otherwise
# on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-21}"
build="${QUILLMAP4_BENCH_BUILD_DIR:-build-bench}"

if [ -z "${QUILLMAP4_STARTUP_MEASURING:-}" ]; then
    QUILLMAP4_SETUP_EXTRA="time xvfb xauth ${QUILLMAP4_SETUP_EXTRA:-}" bash scripts/setup.sh
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLMAP4_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" -j"$(nproc)" --target startup_main_window startup_bare_window
    export QUILLMAP4_STARTUP_MEASURING=1
    if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ] && command -v xvfb-run >/dev/null; then
        exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$runs"
    fi
fi
if [ -z "${DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A first start: no window size or other settings remembered from earlier use.
export XDG_CONFIG_HOME="$work/config"

# One run: appends "milliseconds kilobytes" to the kind's file.
measure() {
    local kind="$1" start end
    start=$EPOCHREALTIME
    /usr/bin/time -f '%M' -o "$work/rss" "$build/bench/startup_${kind}_window" >/dev/null 2>&1
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" -v k="$(cat "$work/rss")" \
        'BEGIN { printf "%.3f %d\n", (e - s) * 1000, k }' >>"$work/$kind"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One unmeasured run of each warms the file cache.
measure bare
measure main
: >"$work/bare"
: >"$work/main"
for _ in $(seq "$runs"); do
    measure bare
    measure main
done

for kind in bare main; do
    eval "${kind}_ms=$(cut -d' ' -f1 "$work/$kind" | median)"
    eval "${kind}_kb=$(cut -d' ' -f2 "$work/$kind" | median)"
done
echo "platform: ${QT_QPA_PLATFORM:-xcb on $DISPLAY}, $runs runs each"
echo "bare Qt window: median start-up ${bare_ms} ms, median peak memory ${bare_kb} kB"
echo "main window:    median start-up ${main_ms} ms, median peak memory ${main_kb} kB"
awk -v bt="$bare_ms" -v mt="$main_ms" -v bk="$bare_kb" -v mk="$main_kb" 'BEGIN {
    t = mt / bt; m = mk / bk
    printf "start-up ratio %.2f (goal at most 1.2: %s)\n", t, t <= 1.2 ? "met" : "missed"
    printf "memory ratio   %.2f (goal at most 1.2: %s)\n", m, m <= 1.2 ? "met" : "missed"
}'
