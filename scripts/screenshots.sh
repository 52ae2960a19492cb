#!/usr/bin/env bash
# Screenshots of the three tabs and of the region map for the README and the
# help documents. Builds the program and its GIS helper when needed, then
# runs it under Xvfb with a fresh home folder and a session script that fills
# in the Harbour example of the help documents (the form, Calculate, Land, a
# harbour shoreline type, the area's picture cut from the sample imagery
# data/samples/harbour.tif, and the three presses of the worked example),
# then opens the project the batch made of that area from the same shapes
# with its picture (the batch cuts it from the same imagery) and opens the
# region map over the sample imagery, the
# outlines of data/samples/harbour.geojson and the batch's areas, and
# captures each tab and the map's window into docs/ and
# data/htmfiles/images/.
#   scripts/screenshots.sh
# QUILLMAP4_SCREENSHOT_BUILD_DIR names the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
QUILLMAP4_SETUP_EXTRA="xvfb xauth imagemagick x11-utils ${QUILLMAP4_SETUP_EXTRA:-}" bash scripts/setup.sh
build="${QUILLMAP4_SCREENSHOT_BUILD_DIR:-build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DQUILLMAP4_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target quillmap4 quillmap4-geo -j2 >/dev/null
program="$PWD/$build/src/quillmap4"

# A fixed home folder, so that the working folder in the status bar reads
# the same at every run.
home="${TMPDIR:-/tmp}/quillmap4-screenshots"
rm -rf "$home"
trap 'rm -rf "$home"' EXIT
work="$home/Scenery"
mkdir -p "$work" "$home/.config/Quillmap4"
# The sample imagery and shapes, copied so that no path of this checkout shows.
imagery="$home/Imagery/harbour.tif"
mkdir -p "$home/Imagery"
cp data/samples/harbour.tif "$imagery"
cp data/samples/harbour.geojson "$home/Imagery/harbour.geojson"
# The working folder, as File > Working Folder... would have remembered it;
# the shapes, as if a shape had been imported from them; the map at a zoom
# that shows the harbour's areas.
printf '[General]\nworkingFolder=%s\n[gis]\nlastImportedFile=%s\n[map]\nscale=150\n' \
    "$work" "$home/Imagery/harbour.geojson" >"$home/.config/Quillmap4/Quillmap4.conf"

# The batch of the harbour sample, whose areas and traces the map shows
# around the area of its project that the session opens last.
"$build/src/quillmap4-geo" batch "$home/Imagery/harbour.geojson" --region 47.49,-122.28,47.51,-122.24 \
    --out "$work/harbour-areas" --land --altitude 12 --line --vector-type '"1030"   ;harbor' \
    --width 12 --vtp-layer 4 --imagery "$imagery" >/dev/null

# The session brings each tab to the front and then writes a file (the two
# sources, then the project), which tells the capture below that the tab is
# showing; the waits leave it the time to take the picture.
cat >"$home/session.txt" <<SCRIPT
set txtprojectname Harbour
set txtauthorname A. Builder
set txtcomments Test mask
set txtlatdeg 47
set txtlatmin 30.00
set txtlongdeg -122
set txtlongmin 15.50
click cmdcalculate
click Option1
set txtaltitude 0
click Option4
set cbovtptype "1030"   ;harbor
set txtvtplinewidth 12
set cbolayer 4
answer $imagery
trigger mnuloadimagery
wait 1000
press 10 20
press 200 20
press 100 180
show cmdcalculate
click cmdlwm
wait 4000
show cbovtptype
click cmdvtp
wait 4000
show Picture1
answer
trigger mnusaveproject
wait 4000
answer $work/harbour-areas/123_120_05_28/123_120_05_28.dat
trigger mnuopenproject
wait 1000
trigger mnuregionmap
wait 8000
answer Discard
quit
SCRIPT

capture() {
    local file="$1" image="$2" waited=0
    until [ -s "$work/$file" ]; do
        sleep 0.1
        waited=$((waited + 1))
        [ "$waited" -lt 300 ] || {
            echo "screenshots: $file never appeared" >&2
            return 1
        }
    done
    sleep 1
    # Without a window manager the window is the only thing on the black
    # screen: cut it out.
    import -window root -trim +repage "docs/$image"
    cp "docs/$image" "data/htmfiles/images/$image"
    echo "docs/$image: $(identify -format '%w x %h' "docs/$image")"
}

# The region map's window alone, once its imagery and outlines have come.
capture_map() {
    local window=""
    until [ -n "$window" ]; do
        sleep 0.2
        window=$(xwininfo -root -tree | awk '/"Region Map"/ { print $1; exit }')
    done
    sleep 5
    import -window "$window" +repage docs/region-map.png
    cp docs/region-map.png data/htmfiles/images/region-map.png
    echo "docs/region-map.png: $(identify -format '%w x %h' docs/region-map.png)"
}

export HOME="$home" XDG_CONFIG_HOME='' XDG_DATA_HOME='' XDG_STATE_HOME='' QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1600x1200x24 -br" bash -c "$(declare -f capture capture_map)
    set -euo pipefail
    work='$work'
    '$program' --script '$home/session.txt' &
    capture LWMSource.asm tab-general.png
    capture VTPSource.asm tab-lwm-vtp.png
    capture Harbour.dat tab-draw.png
    capture_map
    wait \$!"
