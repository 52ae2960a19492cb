// The area's picture cut from georeferenced imagery: any raster GDAL reads
// (GeoTIFF, JPEG or PNG with a world file, MBTiles, a VRT...), reprojected to
// WGS 84 longitude/latitude and resampled onto the capture's own pixel grid,
// at 256 x 256 pixels or larger for a zoomed view.
#pragma once

#include <string>

#include "model/area_grid.h"
#include "model/expected.h"

namespace qm4::geo {

// The area cut from a georeferenced raster and resampled to size x size pixels (size 256 for the
// capture's picture; 512, 768 or 1024 for a zoomed view), reprojected from the raster's own
// coordinate system, written to outPath as a picture file: a 24-bit Windows bitmap when the name
// ends in ".bmp", otherwise PNG.
//
// The pixels follow the capture's grid: at 256, pixel i's centre lies on the capture's pixel i
// (the west and east edges are the centres of pixels 0 and 255), so the picture spans half a
// capture pixel beyond each edge; at 256 z each capture pixel becomes z x z pixels.
//
// Grey, RGB, RGBA and paletted rasters all give an RGB picture. A band wider than 8 bits (16-bit,
// 32-bit or floating-point) is spread over 0..255 as gdal_translate -scale spreads it: from the
// minimum and maximum of the statistics the file keeps, else of GDAL's estimate. Where the raster
// has no imagery (beyond its edges, transparent or no-data) the picture is black, in proportion to
// the transparency; a raster that covers part of the area is fine, one that covers none of it is an
// error.
//
// A raster with a geotransform but no coordinate system (a world file without a .prj) is taken
// as WGS 84 longitude/latitude when its corners lie within -180..180 and -90..90, as a world
// file for such imagery usually is; other numbers have no georeference.
//
// Fails with a message in plain words, and writes nothing (not even a partial file), on a file
// GDAL cannot read, a raster without georeference, one that does not cover the area, a size
// outside 256..1024, or an output that cannot be written.
Status cutImagery(const std::string& rasterPath, const AreaEdges& area, int size,
                  const std::string& outPath);

}  // namespace qm4::geo
