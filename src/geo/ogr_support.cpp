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

Expected<LayerReader> readerFor(OGRLayer* layer, const AreaEdges& box) {
    LayerReader reader{layer, nullptr, layer->GetSpatialRef() == nullptr};
    if (reader.assumed) {
        layer->SetSpatialFilterRect(box.west, box.south, box.east, box.north);
        return reader;
    }
    OGRSpatialReference source(*layer->GetSpatialRef());
    source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRSpatialReference target = wgs84();
    const QuietGdal quiet;
    reader.toWgs84.reset(OGRCreateCoordinateTransformation(&source, &target));
    std::unique_ptr<OGRCoordinateTransformation> back(
        OGRCreateCoordinateTransformation(&target, &source));
    double bounds[4] = {};
    const bool mapped = reader.toWgs84 && back &&
                        back->TransformBounds(box.west, box.south, box.east, box.north, &bounds[0],
                                              &bounds[1], &bounds[2], &bounds[3], 21);
    if (!mapped) {
        return Error{"The coordinate system of layer \"" + std::string(layer->GetName()) +
                     "\" cannot be turned into WGS 84 longitude and latitude."};
    }
    layer->SetSpatialFilterRect(bounds[0], bounds[1], bounds[2], bounds[3]);
    return reader;
}

std::string assumedNote(OGRLayer& layer) {
    return "Layer \"" + std::string(layer.GetName()) +
           "\" declares no coordinate system; it was taken as WGS 84 longitude and latitude.";
}

std::string describeFeature(OGRLayer& layer, long long id) {
    return "Feature " + std::to_string(id) + " of layer \"" + layer.GetName() + "\"";
}

Expected<Geometry> tracedShape(const OGRFeature* feature, const LayerReader& reader, long long id) {
    const std::string feat = describeFeature(*reader.layer, id);
    const OGRGeometry* shape = feature ? feature->GetGeometryRef() : nullptr;
    if (!shape || shape->IsEmpty()) return Error{feat + " has no shape."};
    const OGRwkbGeometryType type = wkbFlatten(shape->getGeometryType());
    if (type == wkbPoint || type == wkbMultiPoint)
        return Error{feat + " is a point; only lines and polygons can be traced."};
    Geometry g(shape->clone());
    const QuietGdal quiet;
    if (reader.toWgs84 && g->transform(reader.toWgs84.get()) != OGRERR_NONE)
        return Error{feat + " cannot be placed on the globe."};
    if (!g->IsValid()) {
        g.reset(g->MakeValid());
        if (!g || !g->IsValid())
            return Error{feat + " has an invalid shape that cannot be repaired."};
    }
    return g;
}

}  // namespace qm4::geo
