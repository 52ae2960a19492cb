#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 30),
# as many at once as there are cores,
# on a temporary copy of its seed corpus, so the repository's corpus never
# grows. Fails when any target reports a finding; the input that caused it
# is kept in <build>/fuzz-findings/<target>/.
#   scripts/run_fuzzers.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
seconds="${1:-30}"
shift || true

QUILLMAP4_SETUP_EXTRA="clang libclang-rt-dev ${QUILLMAP4_SETUP_EXTRA:-}" bash scripts/setup.sh

build="${QUILLMAP4_FUZZ_BUILD_DIR:-build-fuzz}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLMAP4_FUZZ=ON -DQUILLMAP4_BUILD_TESTS=OFF -DQUILLMAP4_BUILD_BENCH=OFF >/dev/null

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in fuzz/*_fuzz.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

# The picture decoders warn about every broken picture they refuse.
export QT_LOGGING_RULES='*=false'
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# One target a core at a time: each runs its full time, side by side.
fuzz_one() {
    local target="$1" status=0
    mkdir -p "$work/$target/corpus" "$work/$target/findings"
    if [ -d "fuzz/corpus/$target" ]; then
        cp -r "fuzz/corpus/$target/." "$work/$target/corpus/"
    fi
    "$build/fuzz/$target" "$work/$target/corpus" \
        -max_total_time="$seconds" -max_len=4096 -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$work/$target/findings/" \
        >"$work/$target/log" 2>&1 || status=$?
    echo "$status" >"$work/$target/status"
}
for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
    fuzz_one "$target" &
done
wait
passed=0
failed=0
for target in "${targets[@]}"; do
    log="$work/$target/log"
    status="$(cat "$work/$target/status")"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "$target: no finding in ${runs:-?} runs (${seconds} s)"
    else
        failed=$((failed + 1))
        kept="$build/fuzz-findings/$target"
        mkdir -p "$kept"
        cp -r "$work/$target/findings/." "$kept/"
        echo "$target: FINDING (exit $status); input kept in $kept"
        grep -E 'check failed|ERROR|SUMMARY|runtime error' "$log" | head -n 20 || true
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
