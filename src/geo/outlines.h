// The outlines of a vector file for the region map: every line and every
// polygon's rings that cross a box, clipped to it and simplified to the
// map's pixel, as lines of latitude and longitude.
#pragma once

#include <string>
#include <vector>

#include "model/area_grid.h"
#include "model/expected.h"

namespace qm4::geo {

using Outline = std::vector<LatLon>;

// box: its west may lie below -180 or its east beyond 180 where it crosses
// the antimeridian; the lines beyond it then go on past 180 (or -180), as
// the map draws them, rather than jump back. pixel: the most, in degrees,
// that the simplification may move a line (Douglas-Peucker); above 0.
// Points are left out. Fails on a file OGR cannot open, with GDAL's reason,
// or a layer whose coordinate system cannot be turned into WGS 84.
Expected<std::vector<Outline>> outlines(const std::string& path, const AreaEdges& box,
                                        double pixel);

}  // namespace qm4::geo
