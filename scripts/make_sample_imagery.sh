#!/usr/bin/env bash
# Makes data/samples/harbour.tif, the harbour sample's orthophoto: 0.03 x 0.02
# degrees around the README's area (cell 123, 120, area 5, 28), so that its
# neighbours have imagery too, in UTM zone 10 north at 2 m a pixel, drawn from
# data/samples/harbour.geojson: fields of green and brown with a grain, the
# "Harbour basin" as water, the "Quay road" grey, JPEG-compressed in tiles.
# Only GDAL's command-line tools and awk; the same file at every run.
#   scripts/make_sample_imagery.sh
set -euo pipefail
cd "$(dirname "$0")/.."
shapes="$PWD/data/samples/harbour.geojson"
target="$PWD/data/samples/harbour.tif"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# The extent in UTM metres, snapped outwards to the 2 m grid.
read -r xmin ymin xmax ymax < <(
    printf '%s\n' "-122.27818 47.48939" "-122.24818 47.48939" "-122.24818 47.50939" \
        "-122.27818 47.50939" |
        gdaltransform -s_srs EPSG:4326 -t_srs EPSG:32610 -output_xy |
        awk 'NR == 1 { a = $1; b = $2; c = $1; d = $2 }
             { a = $1 < a ? $1 : a; b = $2 < b ? $2 : b; c = $1 > c ? $1 : c; d = $2 > d ? $2 : d }
             END { printf "%d %d %d %d\n", int(a / 2) * 2, int(b / 2) * 2,
                   int(c / 2 + 1) * 2, int(d / 2 + 1) * 2 }')
width=$(((xmax - xmin) / 2))
height=$(((ymax - ymin) / 2))

# COUNT random points over the extent with values 0..100, from a
# Park-Miller generator so that every awk draws the same ones.
points() {
    awk -v n="$1" -v seed="$2" -v x0="$xmin" -v y0="$ymin" -v w="$((xmax - xmin))" \
        -v h="$((ymax - ymin))" 'function r() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
        BEGIN { print "WKT,z"; for (i = 0; i < n; ++i) printf "\"POINT (%.2f %.2f)\",%.1f\n", x0 + r() * w, y0 + r() * h, r() * 100 }'
}
grid() {
    gdal_grid -q -a "$1" -zfield z -ot Float32 -a_srs EPSG:32610 -txe "$xmin" "$xmax" \
        -tye "$ymax" "$ymin" -outsize "$width" "$height" "$2.csv" "$2.tif"
}
points 600 20240501 >fields.csv
points 60000 19470101 >grain.csv
grid nearest fields
grid linear grain

# Fields: each cell of the coarse grid a shade of green or brown.
cat >colours.txt <<'EOF'
0 86 112 52
30 104 128 60
55 122 138 72
75 140 124 84
100 116 100 70
EOF
gdaldem color-relief -q fields.tif colours.txt land.tif
ogr2ogr -t_srs EPSG:32610 harbour.gpkg "$shapes"
gdal_rasterize -q -b 1 -b 2 -b 3 -burn 38 -burn 82 -burn 124 \
    -where "name = 'Harbour basin'" harbour.gpkg land.tif
ogr2ogr -dialect sqlite -sql "SELECT ST_Buffer(geom, 5) FROM harbour WHERE name = 'Quay road'" \
    road.gpkg harbour.gpkg
gdal_rasterize -q -b 1 -b 2 -b 3 -burn 128 -burn 128 -burn 124 road.gpkg land.tif

# The grain: the fine grid's hillshade, about 0.9 to 1.1 times the colour.
gdaldem hillshade -q -compute_edges -z 0.05 grain.tif shade.tif
{
    echo "<VRTDataset rasterXSize=\"$width\" rasterYSize=\"$height\">"
    for band in 1 2 3; do
        cat <<EOF
  <VRTRasterBand dataType="Byte" band="$band" subClass="VRTDerivedRasterBand">
    <PixelFunctionType>mul</PixelFunctionType>
    <SourceTransferType>Float32</SourceTransferType>
    <SimpleSource><SourceFilename relativeToVRT="1">land.tif</SourceFilename><SourceBand>$band</SourceBand></SimpleSource>
    <ComplexSource><SourceFilename relativeToVRT="1">shade.tif</SourceFilename><SourceBand>1</SourceBand>
      <ScaleOffset>0.5</ScaleOffset><ScaleRatio>0.0028</ScaleRatio></ComplexSource>
  </VRTRasterBand>
EOF
    done
    echo "</VRTDataset>"
} >textured.vrt
gdal_translate -q -a_srs EPSG:32610 -a_ullr "$xmin" "$ymax" "$xmax" "$ymin" \
    -co TILED=YES -co COMPRESS=JPEG -co PHOTOMETRIC=YCBCR -co JPEG_QUALITY=80 \
    textured.vrt "$target"
echo "$target: ${width} x ${height} pixels, $(stat -c %s "$target") bytes"
