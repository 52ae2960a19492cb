// Shapes from vector files (GeoJSON, KML, GPX, shapefiles, GeoPackage, OSM,
// CSV with WKT...) for the current area: the features that meet it, and one
// feature clipped to it and simplified, as picture positions that the
// window feeds to the ordinary capture press.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/shape_presses.h"
#include "geo/ogr_support.h"
#include "model/area_grid.h"
#include "model/expected.h"

namespace qm4::geo {

// A feature of the file that meets the area.
struct FeatureInfo {
    int layer = 0;
    std::string layerName;
    long long id = 0;  // the feature's id in its layer
    std::string name;  // its name, when a field gives one (featureName)
    std::string geometryType;
    int pointsInside = 0;  // its vertices inside the area
};

struct FeatureList {
    std::vector<FeatureInfo> features;
    // What the author should know: a layer without a coordinate system was
    // taken as WGS 84 longitude/latitude.
    std::vector<std::string> notes;
};

// Called now and then with the part done, 0 to 1; false cancels.
using Progress = std::function<bool(double)>;

// The features that meet the area, from the file as the helper keeps it:
// read once, so that the next area and the shape of a feature cost no
// read (a format with a spatial index of its own is asked through it).
// Fails on a file OGR cannot open (with GDAL's reason, naming the file), a
// coordinate system that cannot be turned into WGS 84, or a cancel
// ("Cancelled.").
Expected<FeatureList> listFeatures(const std::string& path, const AreaEdges& area,
                                   const Progress& progress);

// Positions on the area's picture, 0..255 on each axis, as the capture's
// presses take them.
using PicturePoint = qm4::PicturePoint;
using Piece = qm4::Piece;

struct FeatureShape {
    bool polygon = false;
    // A polygon: its parts inside the area, each one ring without the
    // closing point, the largest first, then their holes (a ring the area
    // cuts starts at its top-most, then left-most point and runs
    // clockwise). A line: its pieces inside the area, the longest first. A
    // part that the simplification leaves nothing of is empty.
    std::vector<Piece> pieces;
    // For each piece: 0, or the number (from 1) of the piece whose hole it is.
    std::vector<std::size_t> holeOf;
};

// The feature's name from its attributes: a text field called "name" in
// any letter case, else the first whose name holds "name" (name_en,
// NAME:fr), else one called label, title, nom, nombre, navn or namn; empty
// when it has none of them.
std::string featureName(const OGRFeature& feature);

// The feature repaired when its shape is invalid, clipped to the area, then
// each piece simplified (Douglas-Peucker) with the tolerance in picture
// pixels (0: not at all); the pieces are ordered by their size before the
// simplification. Fails, saying which feature, on a point, an empty or
// unrepairable shape, or one with nothing inside the area.
Expected<FeatureShape> featureShape(const std::string& path, int layer, long long id,
                                    const AreaEdges& area, double tolerance);

}  // namespace qm4::geo
