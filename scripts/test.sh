#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build="${QUILLMAP4_BUILD_DIR:-build-test}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${QUILLMAP4_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
