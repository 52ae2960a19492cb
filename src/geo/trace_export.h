// The trace written back to the globe: the LWM polygon and the VTP line or
// polygon as longitude/latitude, in GeoJSON or KML, for a GIS or a globe
// viewer to check them.
#pragma once

#include <string>
#include <vector>

#include "model/area_grid.h"
#include "model/expected.h"

namespace qm4::geo {

struct TraceAttributes {
    std::string project;
    std::string mask;  // "Land" or "Water"
    std::string altitude;
    std::string vectorType;
    std::string layer;
};

// Writes a GeoJSON (.geojson, .json) or KML (.kml) file, chosen by the name:
// an "LWM" polygon and a "VTP" line (or polygon), each with the attributes;
// an empty list gives no feature. A point equal to the one before it is
// written once.
Status exportTrace(const std::string& path, const std::vector<LatLon>& lwm,
                   const std::vector<LatLon>& vtp, bool vtpPolygon,
                   const TraceAttributes& attributes);

}  // namespace qm4::geo
