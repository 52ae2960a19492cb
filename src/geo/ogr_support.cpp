// Opening vector files, reading layers in WGS 84 and repairing shapes.
#include "geo/ogr_support.h"

#include <ogr_spatialref.h>

#include <cctype>
#include <vector>

namespace qm4::geo {
namespace {

OGRSpatialReference wgs84() {
    OGRSpatialReference wgs;
    wgs.SetWellKnownGeogCS("WGS84");
    wgs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return wgs;
}

void eraseAll(std::string& text, const std::string& part) {
    for (auto at = text.find(part); !part.empty() && at != std::string::npos; at = text.find(part))
        text.erase(at, part.size());
}

}  // namespace

std::string gdalReason(const std::string& path, const std::string& message) {
    std::string reason = message.substr(0, message.find_first_of("\r\n"));
    if (reason.starts_with("ERROR ")) reason.erase(0, reason.find(": ") + 2);
    // GDAL names the file as `path', "path" or path: the sentence names it once.
    for (const std::string& named : {"`" + path + "'", "\"" + path + "\"", path + ": ", path})
        eraseAll(reason, named);
    reason.erase(0, reason.find_first_not_of(" :"));
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
    if (reason.empty()) reason = "GDAL gave no reason";
    if (reason.starts_with("not ")) reason = "it is " + reason;
    if (std::isupper(static_cast<unsigned char>(reason[0])) &&
        !std::isupper(static_cast<unsigned char>(reason.size() > 1 ? reason[1] : 'a')))
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return "Could not read \"" + path + "\": " + reason + ".";
}

void warmUp() {
    GDALAllRegister();
    const QuietGdal quiet;
    OGRSpatialReference utm;
    utm.importFromEPSG(32610);
    OGRSpatialReference wgs = wgs84();
    std::unique_ptr<OGRCoordinateTransformation>(OGRCreateCoordinateTransformation(&wgs, &utm));
    OGRGeometry* square = nullptr;
    OGRGeometryFactory::createFromWkt("POLYGON ((0 0, 0 1, 1 1, 1 0, 0 0))", nullptr, &square);
    if (!square) return;
    std::unique_ptr<OGRGeometry>(square->Intersection(square));
    OGRGeometryFactory::destroyGeometry(square);
    // GeoPackage, the format of most large files, opens through SQLite.
    const char* scratch = "/vsimem/quillmap4-warm-up.gpkg";
    if (GDALDriver* gpkg = GetGDALDriverManager()->GetDriverByName("GPKG")) {
        GDALDatasetUniquePtr(gpkg->Create(scratch, 0, 0, 0, GDT_Unknown, nullptr)).reset();
        GDALDatasetUniquePtr(GDALDataset::Open(scratch, GDAL_OF_VECTOR)).reset();
        VSIUnlink(scratch);
    }
}

Expected<GDALDatasetUniquePtr> openVectorFile(const std::string& path) {
    GDALAllRegister();
    // A country's coastline in GeoJSON is one object of tens of megabytes,
    // which GDAL refuses by default; the author's own setting still counts.
    if (!CPLGetConfigOption("OGR_GEOJSON_MAX_OBJ_SIZE", nullptr))
        CPLSetConfigOption("OGR_GEOJSON_MAX_OBJ_SIZE", "0");
    std::vector<std::string> messages;
    CPLPushErrorHandlerEx(
        [](CPLErr, CPLErrorNum, const char* message) {
            static_cast<std::vector<std::string>*>(CPLGetErrorHandlerUserData())
                ->push_back(message);
        },
        &messages);
    CPLErrorReset();
    GDALDatasetUniquePtr dataset(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    CPLPopErrorHandler();
    if (dataset) return dataset;
    std::string reason = gdalReason(path, CPLGetLastErrorMsg());
    // A reader of JSON says first where the text went wrong, then that it
    // failed: the place is what the author needs to mend the file.
    for (std::string place : messages) {
        if (place.find("line ") == std::string::npos ||
            place.find("character") == std::string::npos)
            continue;
        if (place.starts_with("At ")) place[0] = 'a';
        while (!place.empty() && (place.back() == '.' || place.back() == ' ')) place.pop_back();
        reason.insert(reason.size() - 1, " (" + place + ")");
        break;
    }
    return Error{reason};
}

namespace {

Error unmapped(OGRLayer& layer) {
    return Error{"The coordinate system of layer \"" + std::string(layer.GetName()) +
                 "\" cannot be turned into WGS 84 longitude and latitude."};
}

}  // namespace

Expected<std::unique_ptr<OGRCoordinateTransformation>> wgs84Transform(OGRLayer& layer) {
    if (!layer.GetSpatialRef()) return std::unique_ptr<OGRCoordinateTransformation>();
    OGRSpatialReference source(*layer.GetSpatialRef());
    source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRSpatialReference target = wgs84();
    // Through PROJ even WGS 84 to itself costs a pass over every vertex.
    if (source.IsSame(&target)) return std::unique_ptr<OGRCoordinateTransformation>();
    const QuietGdal quiet;
    std::unique_ptr<OGRCoordinateTransformation> to(
        OGRCreateCoordinateTransformation(&source, &target));
    if (!to) return unmapped(layer);
    return to;
}

Expected<LayerReader> readerFor(OGRLayer* layer, const AreaEdges& box) {
    LayerReader reader{layer, nullptr, layer->GetSpatialRef() == nullptr};
    auto to = wgs84Transform(*layer);
    if (!to) return to.error();
    reader.toWgs84 = std::move(to.value());
    if (!reader.toWgs84) {
        layer->SetSpatialFilterRect(box.west, box.south, box.east, box.north);
        return reader;
    }
    OGRSpatialReference source(*layer->GetSpatialRef());
    source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRSpatialReference target = wgs84();
    const QuietGdal quiet;
    std::unique_ptr<OGRCoordinateTransformation> back(
        OGRCreateCoordinateTransformation(&target, &source));
    double bounds[4] = {};
    if (!back || !back->TransformBounds(box.west, box.south, box.east, box.north, &bounds[0],
                                        &bounds[1], &bounds[2], &bounds[3], 21))
        return unmapped(*layer);
    layer->SetSpatialFilterRect(bounds[0], bounds[1], bounds[2], bounds[3]);
    return reader;
}

std::string assumedNote(const std::string& layerName) {
    return "Layer \"" + layerName +
           "\" declares no coordinate system; it was taken as WGS 84 longitude and latitude.";
}

std::string describeFeature(const std::string& layerName, long long id) {
    return "Feature " + std::to_string(id) + " of layer \"" + layerName + "\"";
}

}  // namespace qm4::geo
