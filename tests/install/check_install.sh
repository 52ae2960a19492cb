#!/usr/bin/env bash
# Installs a built tree into a fresh prefix and checks the layout: the
# executable, the help documents in the data folder, the desktop entry and
# the AppStream metainfo (each validated where its validator exists) and the
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

[ -x "$prefix/bin/quillmap4" ] || fail "no executable $prefix/bin/quillmap4"
[ -x "$prefix/bin/quillmap4-geo" ] || fail "no executable $prefix/bin/quillmap4-geo"
help="$prefix/share/quillmap4/htmfiles"
for doc in QuickStart.htm Help.htm lwmtutor.htm menu.htm; do
    [ -s "$help/$doc" ] || fail "no help document $help/$doc"
done

metainfo="$prefix/share/metainfo/io.github.quillmap4.Quillmap4.metainfo.xml"
if [ ! -f "$metainfo" ]; then
    fail "no metainfo $metainfo"
elif command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli rejects $metainfo"
fi

entry="$prefix/share/applications/quillmap4.desktop"
if [ ! -f "$entry" ]; then
    fail "no desktop entry $entry"
else
    grep -qx 'Exec=quillmap4 %f' "$entry" || fail "desktop entry does not run quillmap4 with a file"
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

python3 "$here/check_html_links.py" "$help" || fail "installed help documents have problems"

if [ "$failures" -ne 0 ]; then
    echo "install layout: $failures problems"
    exit 1
fi
echo "install layout: all checks passed"
