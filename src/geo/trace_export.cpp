// Writing the trace through OGR.
#include "geo/trace_export.h"

#include <gdal_priv.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>

namespace qm4::geo {
namespace {

std::string driverFor(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (path.ends_with(".geojson") || path.ends_with(".json")) return "GeoJSON";
    if (path.ends_with(".kml")) return "KML";
    return "";
}

std::unique_ptr<OGRGeometry> shapeOf(const std::vector<LatLon>& points, bool polygon) {
    OGRLineString line;
    // A line's opening press lists its first point three times; the shape
    // has it once.
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0 || points[i].lat != points[i - 1].lat || points[i].lon != points[i - 1].lon)
            line.addPoint(points[i].lon, points[i].lat);
    }
    if (!polygon) return std::make_unique<OGRLineString>(line);
    auto ring = std::make_unique<OGRLinearRing>();
    ring->addSubLineString(&line);
    ring->closeRings();
    auto shape = std::make_unique<OGRPolygon>();
    shape->addRingDirectly(ring.release());
    return shape;
}

}  // namespace

Status exportTrace(const std::string& path, const std::vector<LatLon>& lwm,
                   const std::vector<LatLon>& vtp, bool vtpPolygon,
                   const TraceAttributes& attributes) {
    const std::string driverName = driverFor(path);
    if (driverName.empty()) return Error{"\"" + path + "\" should end in .geojson, .json or .kml."};
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName.c_str());
    if (!driver) return Error{"This GDAL cannot write " + driverName + "."};
    // Written beside the target and renamed over it once whole: the drivers
    // will not write over a file, and a failed export keeps the old one.
    const std::string partial = path + ".partial";
    VSIUnlink(partial.c_str());
    CPLPushErrorHandler(CPLQuietErrorHandler);
    GDALDatasetUniquePtr dataset(driver->Create(partial.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    CPLPopErrorHandler();
    if (!dataset) return Error{"Could not write \"" + path + "\"."};
    OGRSpatialReference wgs;
    wgs.SetWellKnownGeogCS("WGS84");
    wgs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRLayer* layer = dataset->CreateLayer("trace", &wgs, wkbUnknown, nullptr);
    if (!layer) return Error{"Could not write \"" + path + "\"."};
    const char* fields[] = {"name", "project", "mask", "altitude", "vectortype", "layer"};
    for (const char* field : fields) {
        OGRFieldDefn definition(field, OFTString);
        layer->CreateField(&definition);
    }
    for (const auto& [name, points, polygon] :
         {std::tuple{"LWM", &lwm, true}, std::tuple{"VTP", &vtp, vtpPolygon}}) {
        if (points->empty()) continue;
        OGRFeature feature(layer->GetLayerDefn());
        const std::string values[] = {name,
                                      attributes.project,
                                      attributes.mask,
                                      attributes.altitude,
                                      attributes.vectorType,
                                      attributes.layer};
        for (std::size_t f = 0; f < std::size(fields); ++f)
            feature.SetField(fields[f], values[f].c_str());
        feature.SetGeometryDirectly(shapeOf(*points, polygon).release());
        if (layer->CreateFeature(&feature) != OGRERR_NONE)
            return Error{"Could not write \"" + path + "\"."};
    }
    dataset.reset();  // writes the file out
    if (VSIRename(partial.c_str(), path.c_str()) != 0) {
        VSIUnlink(partial.c_str());
        return Error{"Could not write \"" + path + "\"."};
    }
    return okStatus();
}

}  // namespace qm4::geo
