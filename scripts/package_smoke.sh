#!/usr/bin/env bash
# Builds the Debian package, installs it, and runs the installed program the
# way an author would, on the offscreen platform with a fresh home folder:
# start, three presses, Create Source on both sides, Save Project, Open
# Project. The sources and the project must land in ~/Documents/Quillmap4 and
# nothing may be written under /usr. Needs root (it installs the package).
#   scripts/package_smoke.sh
# QUILLMAP4_PACKAGE_BUILD_DIR names the build folder (default build-package,
# a Release build); with QUILLMAP4_PACKAGE_REUSE_BUILD=1 an existing build
# folder is packaged as it is configured.
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLMAP4_SETUP_EXTRA="dpkg-dev file appstream ${QUILLMAP4_SETUP_EXTRA:-}" bash scripts/setup.sh
build="${QUILLMAP4_PACKAGE_BUILD_DIR:-build-package}"
if [ -n "${QUILLMAP4_PACKAGE_REUSE_BUILD:-}" ] && [ -f "$build/CMakeCache.txt" ]; then
    # A build folder made for the tests already holds the programs: only what
    # changed since is built again.
    cmake --build "$build" -j"$(nproc)" --target quillmap4 quillmap4-geo
else
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLMAP4_BUILD_TESTS=OFF \
        -DQUILLMAP4_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" -j"$(nproc)"
fi
rm -f "$build"/quillmap4_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
package="$(ls "$PWD/$build"/quillmap4_*.deb)"
echo "package: $package"
apt-get install -y -q --reinstall "$package" >/dev/null

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
for file in /usr/bin/quillmap4 /usr/share/quillmap4/htmfiles/QuickStart.htm \
    /usr/share/applications/quillmap4.desktop \
    /usr/share/metainfo/io.github.quillmap4.Quillmap4.metainfo.xml \
    /usr/share/icons/hicolor/48x48/apps/quillmap4.png; do
    [ -f "$file" ] || fail "the package did not install $file"
done
appstreamcli validate --no-net /usr/share/metainfo/io.github.quillmap4.Quillmap4.metainfo.xml \
    >/dev/null || fail "appstreamcli rejects the installed metainfo"
[ "$(quillmap4 --version)" = "quillmap4 4.0.0" ] || fail "quillmap4 --version"
[ "$(quillmap4-geo --version)" = "quillmap4-geo 4.0.0" ] || fail "quillmap4-geo --version"
# The long description is prose that apt wraps: no line of it kept verbatim.
description="$(dpkg-deb -f "$package" Description | tail -n +2)"
[ -n "$description" ] || fail "the package has no long description"
if grep -q '^  ' <<<"$description"; then fail "the long description has verbatim lines"; fi

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
cat >"$home/session.txt" <<'SCRIPT'
set txtprojectname Smoke
set txtlatdeg 47
set txtlatmin 30.00
set txtlongdeg -122
set txtlongmin 15.50
click cmdcalculate
press 10 20
press 200 20
press 100 180
click cmdlwm
click cmdvtp
answer
trigger mnusaveproject
click cmdclearlwmlist
expect lstLWM 0
answer Discard
answer Smoke.dat
trigger mnuopenproject
expect lstLWM 3
expect txtcellx 123
quit
SCRIPT
marker="$home/marker"
touch "$marker"
sleep 1
status=0
HOME="$home" XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_STATE_HOME= QT_QPA_PLATFORM=offscreen \
    timeout 60 quillmap4 --script "$home/session.txt" || status=$?
[ "$status" -eq 0 ] || fail "the installed program ended with exit code $status"
documents="$home/Documents/Quillmap4"
for name in LWMSource.asm VTPSource.asm Smoke.dat Smoke.points; do
    [ -s "$documents/$name" ] || fail "no $name in $documents"
done
grep -q '^LWMPoint  200,  20' "$documents/Smoke.points" || fail "Smoke.points lacks the points"
written="$(find /usr -newer "$marker" \( -type f -o -type d \) 2>/dev/null | head -n 5)"
[ -z "$written" ] || fail "the program wrote under /usr: $written"
ls -A "$home/.local/state/quillmap4" 2>/dev/null | grep -q '\.txt$' &&
    fail "a recovery file was left after a normal close"

if [ "$failures" -ne 0 ]; then
    echo "package smoke test: $failures problems"
    exit 1
fi
echo "package smoke test: the installed program traced, wrote, saved and opened in $documents"
