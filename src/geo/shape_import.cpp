// Reading shapes with OGR: each layer is read in WGS 84 longitude/latitude
// through PROJ, then mapped onto the area's picture, where GEOS repairs,
// clips and simplifies it.
#include "geo/shape_import.h"

#include <algorithm>
#include <cctype>

#include "geo/area_pieces.h"

namespace qm4::geo {
namespace {

const OGRPolygon& areaBox(const AreaEdges& area, OGRPolygon& box) {
    OGRLinearRing ring;
    for (const auto& [lon, lat] : {std::pair{area.west, area.north},
                                   {area.east, area.north},
                                   {area.east, area.south},
                                   {area.west, area.south},
                                   {area.west, area.north}})
        ring.addPoint(lon, lat);
    box.addRing(&ring);
    return box;
}

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

std::string featureName(const OGRFeature& feature) {
    const OGRFeatureDefn& definition = *feature.GetDefnRef();
    int best = -1, bestRank = 3;
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        const OGRFieldDefn& field = *definition.GetFieldDefn(i);
        if (field.GetType() != OFTString || !feature.IsFieldSetAndNotNull(i)) continue;
        std::string name = field.GetNameRef();
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const bool other = name == "label" || name == "title" || name == "nom" ||
                           name == "nombre" || name == "navn" || name == "namn";
        const int rank = name == "name"                           ? 0
                         : name.find("name") != std::string::npos ? 1
                         : other                                  ? 2
                                                                  : 3;
        if (rank < bestRank) best = i, bestRank = rank;
    }
    return best < 0 ? "" : feature.GetFieldAsString(best);
}

Expected<FeatureList> listFeatures(const std::string& path, const AreaEdges& area,
                                   const Progress& progress) {
    const QuietGdal quiet;
    auto dataset = openVectorFile(path);
    if (!dataset) return dataset.error();
    FeatureList list;
    OGRPolygon box;
    areaBox(area, box);
    const int layers = (*dataset)->GetLayerCount();
    for (int l = 0; l < layers; ++l) {
        // Counted before the spatial filter, which would make most drivers
        // read the whole file to count.
        const GIntBig total = (*dataset)->GetLayer(l)->GetFeatureCount(FALSE);
        auto reader = readerFor((*dataset)->GetLayer(l), area);
        if (!reader) return reader.error();
        if (reader->assumed) list.notes.push_back(assumedNote(*reader->layer));
        GIntBig done = 0;
        for (const auto& feature : *reader->layer) {
            ++done;
            const double part = total > 0 ? std::min(1.0, double(done) / double(total)) : 0;
            if (done % 64 == 0 && progress && !progress((l + part) / layers))
                return Error{"Cancelled."};
            const OGRGeometry* shape = feature->GetGeometryRef();
            if (!shape || shape->IsEmpty()) continue;
            Geometry g(shape->clone());
            if (reader->toWgs84 && g->transform(reader->toWgs84.get()) != OGRERR_NONE) continue;
            if (!g->Intersects(&box)) continue;
            InsideCounter counter(area);
            g->accept(&counter);
            list.features.push_back(
                {l, reader->layer->GetName(), feature->GetFID(), featureName(*feature),
                 OGRGeometryTypeToName(wkbFlatten(shape->getGeometryType())), counter.inside});
        }
    }
    return list;
}

Expected<FeatureShape> featureShape(const std::string& path, int layer, long long id,
                                    const AreaEdges& area, double tolerance) {
    const QuietGdal quiet;
    auto dataset = openVectorFile(path);
    if (!dataset) return dataset.error();
    if (layer < 0 || layer >= (*dataset)->GetLayerCount())
        return Error{"\"" + path + "\" has no layer " + std::to_string(layer) + "."};
    auto reader = readerFor((*dataset)->GetLayer(layer), area);
    if (!reader) return reader.error();
    const OGRFeatureUniquePtr feature(reader->layer->GetFeature(id));
    auto shape = tracedShape(feature.get(), *reader, id);
    if (!shape) return shape.error();
    const AreaParts parts = partsInArea(**shape, area, true);
    FeatureShape result{parts.polygon, {}, parts.holeOf};
    bool any = false;
    for (const Geometry& part : parts.parts) {
        result.pieces.push_back(simplifiedPiece(*part, tolerance));
        any = any || !result.pieces.back().empty();
    }
    if (!any) return Error{describeFeature(*reader->layer, id) + " has no part inside the area."};
    return result;
}

}  // namespace qm4::geo
