// What every reader of vector files here shares: opening a file with GDAL's
// own reason for a failure in plain words, and a layer read in WGS 84
// longitude/latitude through PROJ with a spatial filter on a box.
#pragma once

#include <gdal_priv.h>
#include <ogr_geometry.h>
#include <ogrsf_frmts.h>

#include <memory>
#include <string>

#include "model/area_grid.h"
#include "model/expected.h"

namespace qm4::geo {

using Geometry = std::unique_ptr<OGRGeometry>;

// Keeps GDAL's own warnings (a self-intersection found by a validity check,
// a file it cannot open) off the terminal while it lives: the caller reports
// what matters. GDAL still keeps the last message for gdalReason.
struct QuietGdal {
    QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdal() { CPLPopErrorHandler(); }
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;
};

// GDAL's last error message as one plain sentence about the file: "Could not
// read "x.json": it is not recognized as a supported file format."
std::string gdalReason(const std::string& path, const std::string& message);

// Loads what every request needs the first time: the drivers, PROJ's
// database of coordinate systems, GEOS and SQLite, so that a fresh helper
// answers its first request nearly as quickly as later ones.
void warmUp();

Expected<GDALDatasetUniquePtr> openVectorFile(const std::string& path);

// A layer read in WGS 84, with a spatial filter on a box in the layer's own
// coordinates.
struct LayerReader {
    OGRLayer* layer = nullptr;
    std::unique_ptr<OGRCoordinateTransformation> toWgs84;  // none: the layer is WGS 84
    bool assumed = false;  // the layer declares no coordinate system
};

// Fails when the layer's coordinate system cannot be turned into WGS 84.
Expected<LayerReader> readerFor(OGRLayer* layer, const AreaEdges& box);

// The layer's coordinates to WGS 84 longitude/latitude: none when it is
// WGS 84 or declares nothing; fails as readerFor does.
Expected<std::unique_ptr<OGRCoordinateTransformation>> wgs84Transform(OGRLayer& layer);

// The note for a layer that declares no coordinate system.
std::string assumedNote(const std::string& layerName);

// "Feature 3 of layer "coast""
std::string describeFeature(const std::string& layerName, long long id);

}  // namespace qm4::geo
