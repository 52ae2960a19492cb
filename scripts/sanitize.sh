#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (gcc) and runs the whole test suite, GUI tests
# included, offscreen. Any report stops the test that made it, so the run
# fails. Leaks are reported too; tests/sanitizer/lsan.supp holds the few
# leaks inside the system's own libraries that are not ours to fix.
#
#   scripts/sanitize.sh [extra ctest arguments]
#
# QUILLMAP4_ASAN_BUILD_DIR names the build folder (default build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build="${QUILLMAP4_ASAN_BUILD_DIR:-build-asan}"

# The benchmarks measure speed, which a sanitized build cannot tell.
# -O1 and line tables only: what the sanitizers' reports need, and a build
# that takes a good part less time than -O2 with full debug information.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="-D_GLIBCXX_ASSERTIONS" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DQUILLMAP4_SANITIZE=ON -DQUILLMAP4_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
# A crash already prints the sanitizer's own stack; QtTest's debugger run on
# top of it only slows the failing test down.
export QTEST_DISABLE_STACK_DUMP=1
# The GoogleTest suites run whole, one process each: under the sanitizers a
# process's start and its leak check cost more than most of its cases, and
# ctest would start one per case. ctest runs the rest (names without a dot
# or a slash: the window's tests and the checks of the documents and layout).
(cd "$build/tests" && ./quillmap4_core_tests --gtest_brief=1 && ./quillmap4_geo_tests --gtest_brief=1)
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -E '[./]' "$@"
