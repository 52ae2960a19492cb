// Shapes for an area: the file's features as the helper keeps them (read
// once, in WGS 84 longitude/latitude), mapped onto the area's picture,
// where GEOS repairs, clips and simplifies them.
#include "geo/shape_import.h"

#include <algorithm>

#include "geo/area_pieces.h"
#include "geo/vector_cache.h"

namespace qm4::geo {
namespace {

class InsideCounter : public OGRDefaultConstGeometryVisitor {
  public:
    explicit InsideCounter(const AreaEdges& area) : area_(area) {}
    using OGRDefaultConstGeometryVisitor::visit;
    int inside = 0;
    void visit(const OGRPoint* p) override {
        double x = 0, y = 0;
        latLonToPixel(area_, {p->getY(), p->getX()}, x, y);
        if (x >= 0 && x <= 255 && y >= 0 && y <= 255) ++inside;
    }

  private:
    AreaEdges area_;
};

}  // namespace

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
        for (const std::size_t i : *meeting) {
            const CachedFeature& feature = layer.features[i];
            InsideCounter counter(area);
            feature.shape->accept(&counter);
            list.features.push_back({static_cast<int>(l), layer.name, feature.fid, feature.name,
                                     feature.geometryType, counter.inside});
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
    const AreaParts parts = partsInArea(**shape, area, true);
    FeatureShape result{parts.polygon, {}};
    for (const Geometry& part : parts.parts) {
        Piece piece = simplifiedPiece(*part, tolerance);
        if (!piece.empty()) result.pieces.push_back(std::move(piece));
    }
    if (result.pieces.empty())
        return Error{describeFeature(layerName, id) + " has no part inside the area."};
    return result;
}

}  // namespace qm4::geo
