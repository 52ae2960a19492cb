#!/usr/bin/env bash
# Installs a built tree into a fresh prefix and checks the layout: the program
# folder with the executable, help documents and icon, the bin link into it,
# the desktop entry (validated where desktop-file-validate exists) and the
# themed icons; then checks the installed help documents' links.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail

build="${1:?usage: check_install.sh BUILD_DIR}"
here="$(cd "$(dirname "$0")" && pwd)"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

program="$prefix/lib/quillmap4"
[ -x "$program/quillmap4" ] || fail "no executable $program/quillmap4"
[ -s "$program/quillmap4.png" ] || fail "no icon $program/quillmap4.png"
for doc in QuickStart.htm Help.htm lwmtutor.htm menu.htm; do
    [ -s "$program/htmfiles/$doc" ] || fail "no help document htmfiles/$doc"
done

link="$prefix/bin/quillmap4"
if [ ! -L "$link" ]; then
    fail "$link is not a symbolic link"
elif [ "$(readlink "$link")" != "../lib/quillmap4/quillmap4" ]; then
    fail "$link points to $(readlink "$link"), not ../lib/quillmap4/quillmap4"
elif [ "$(readlink -f "$link")" != "$(readlink -f "$program/quillmap4")" ]; then
    fail "$link does not lead to the installed executable"
fi

entry="$prefix/share/applications/quillmap4.desktop"
if [ ! -f "$entry" ]; then
    fail "no desktop entry $entry"
else
    grep -qx 'Exec=quillmap4' "$entry" || fail "desktop entry does not run quillmap4"
    grep -qx 'Icon=quillmap4' "$entry" || fail "desktop entry does not use the quillmap4 icon"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
    else
        echo "note: desktop-file-validate not found, entry not validated"
    fi
fi

for size in 16 32 48 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/quillmap4.png" ] ||
        fail "no ${size}x${size} icon"
done
[ -s "$prefix/share/icons/hicolor/scalable/apps/quillmap4.svg" ] || fail "no scalable icon"

python3 "$here/check_html_links.py" "$program/htmfiles" || fail "installed help documents have problems"

if [ "$failures" -ne 0 ]; then
    echo "install layout: $failures problems"
    exit 1
fi
echo "install layout: all checks passed"
