#!/usr/bin/env bash
# The core on Windows, as far as Debian takes it: installs the MinGW-w64
# cross compiler, Wine and GoogleTest's sources, cross-builds quillmap4_core
# and its tests (GoogleTest built with the same compiler, everything linked
# statically), and runs them under Wine, headless, in a throw-away Wine
# folder. The rows marked "[windows]" in tests/core/data run there, those
# marked "[posix]" are skipped. Debian has no Qt or GDAL for Windows, so the
# window and the GIS helper are not built.
#   scripts/windows_check.sh [extra ctest arguments]
# QUILLMAP4_WINDOWS_BUILD_DIR names the build folder (default build-windows);
# the Wine folder lives inside it.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
QUILLMAP4_SETUP_EXTRA="g++-mingw-w64-x86-64-posix wine64 googletest ${QUILLMAP4_SETUP_EXTRA:-}" \
    bash scripts/setup.sh
build="${QUILLMAP4_WINDOWS_BUILD_DIR:-build-windows}"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillmap4_core_tests

# No display, no debug channels, and no offer to fetch Mono or Gecko when the
# Wine folder is made.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
[ -f "$WINEPREFIX/system.reg" ] || /usr/lib/wine/wine64 wineboot --init 2>/dev/null
GTEST_BRIEF=1 ctest --test-dir "$build" --verbose "$@"
echo "windows check: the core's tests passed under Wine in $((SECONDS - started)) s"
