// Shapes for an area: the file's features as the helper keeps them (read
// once, in WGS 84 longitude/latitude), mapped onto the area's picture,
// where GEOS repairs, clips and simplifies them.
#include "geo/shape_import.h"

#include <algorithm>

#include "geo/area_pieces.h"
#include "geo/vector_cache.h"

namespace qm4::geo {

Expected<FeatureList> listFeatures(const std::string& path, const AreaEdges& area,
                                   const Progress& progress) {
    const QuietGdal quiet;
    auto file = vectorCache().open(path, progress);
    if (!file) return file.error();
    FeatureList list;
    for (std::size_t l = 0; l < (*file)->layers.size(); ++l) {
        const CachedLayer& layer = (*file)->layers[l];
        if (layer.assumed) list.notes.push_back(assumedNote(layer.name));
        const auto meeting = (*file)->meeting(static_cast<int>(l), area);
        if (!meeting) return meeting.error();
        for (const auto& [i, inside] : *meeting) {
            const CachedFeature& feature = layer.features[i];
            list.features.push_back({static_cast<int>(l), layer.name, feature.fid, feature.name,
                                     feature.geometryType, inside});
        }
    }
    return list;
}

Expected<FeatureShape> featureShape(const std::string& path, int layer, long long id,
                                    const AreaEdges& area, double tolerance) {
    const QuietGdal quiet;
    auto file = vectorCache().open(path, {});
    if (!file) return file.error();
    if (layer < 0 || layer >= static_cast<int>((*file)->layers.size()))
        return Error{"\"" + path + "\" has no layer " + std::to_string(layer) + "."};
    const std::string& layerName = (*file)->layers[static_cast<std::size_t>(layer)].name;
    CachedFeature* feature = (*file)->feature(layer, id);
    if (!feature) return Error{describeFeature(layerName, id) + " has no shape."};
    const auto shape = tracedShape(*feature, layerName);
    if (!shape) return shape.error();
    // A shape that reaches beyond the area cannot lie within it: GEOS need
    // not be handed the whole of a coastline to say so.
    OGREnvelope e;
    (*shape)->getEnvelope(&e);
    constexpr double kBeyond = 1e-9;  // degrees, well above rounding
    const bool mayBeWithin = e.MinX >= area.west - kBeyond && e.MaxX <= area.east + kBeyond &&
                             e.MinY >= area.south - kBeyond && e.MaxY <= area.north + kBeyond;
    const AreaParts parts = partsInArea(**shape, area, mayBeWithin);
    FeatureShape result{parts.polygon, {}, parts.holeOf};
    bool any = false;
    for (const Geometry& part : parts.parts) {
        result.pieces.push_back(simplifiedPiece(*part, tolerance));
        any = any || !result.pieces.back().empty();
    }
    if (!any) return Error{describeFeature(layerName, id) + " has no part inside the area."};
    return result;
}

}  // namespace qm4::geo
