#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLMAP4_BUILD_TESTS=OFF -DQUILLMAP4_BUILD_BENCH=OFF >/dev/null
cmake --build build --target quillmap4 -j"$(nproc)"
exec ./build/src/quillmap4 "$@"
