// Reading shapes with OGR: each layer is read in WGS 84 longitude/latitude
// through PROJ, then mapped onto the area's picture, where GEOS repairs,
// clips and simplifies it.
#include "geo/shape_import.h"

#include <gdal_priv.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <memory>

namespace qm4::geo {
namespace {

using Geometry = std::unique_ptr<OGRGeometry>;

// Keeps GDAL's own warnings (a self-intersection found by a validity check,
// a file it cannot open) off the terminal while it lives: the caller reports
// what matters.
struct QuietGdal {
    QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdal() { CPLPopErrorHandler(); }
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;
};

GDALDatasetUniquePtr openVectorFile(const std::string& path) {
    GDALAllRegister();
    const QuietGdal quiet;
    return GDALDatasetUniquePtr(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
}

OGRSpatialReference wgs84() {
    OGRSpatialReference wgs;
    wgs.SetWellKnownGeogCS("WGS84");
    wgs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return wgs;
}

// WGS 84 longitude/latitude to the area's picture: an affine map.
class ToPicture : public OGRCoordinateTransformation {
  public:
    explicit ToPicture(const AreaEdges& area) : area_(area) {}
    OGRSpatialReference* GetSourceCS() override { return nullptr; }
    OGRSpatialReference* GetTargetCS() override { return nullptr; }
    int Transform(int count, double* x, double* y, double*, double*, int* success) override {
        for (int i = 0; i < count; ++i) {
            latLonToPixel(area_, {y[i], x[i]}, x[i], y[i]);
            if (success) success[i] = TRUE;
        }
        return TRUE;
    }
    OGRCoordinateTransformation* Clone() const override { return new ToPicture(area_); }
    OGRCoordinateTransformation* GetInverse() const override { return nullptr; }

  private:
    AreaEdges area_;
};

// A layer read in WGS 84, with a spatial filter on the area in the layer's
// own coordinates.
struct LayerReader {
    OGRLayer* layer = nullptr;
    std::unique_ptr<OGRCoordinateTransformation> toWgs84;  // none: the layer is WGS 84
    bool assumed = false;  // the layer declares no coordinate system
};

Expected<LayerReader> readerFor(OGRLayer* layer, const AreaEdges& area) {
    LayerReader reader{layer, nullptr, layer->GetSpatialRef() == nullptr};
    if (reader.assumed) {
        layer->SetSpatialFilterRect(area.west, area.south, area.east, area.north);
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
                        back->TransformBounds(area.west, area.south, area.east, area.north,
                                              &bounds[0], &bounds[1], &bounds[2], &bounds[3], 21);
    if (!mapped) {
        return Error{"The coordinate system of layer \"" + std::string(layer->GetName()) +
                     "\" cannot be turned into WGS 84 longitude and latitude."};
    }
    layer->SetSpatialFilterRect(bounds[0], bounds[1], bounds[2], bounds[3]);
    return reader;
}

// The feature's shape on the area's picture; nothing when it cannot be
// transformed.
Geometry onPicture(const OGRGeometry& shape, const LayerReader& reader, const AreaEdges& area) {
    Geometry g(shape.clone());
    if (reader.toWgs84 && g->transform(reader.toWgs84.get()) != OGRERR_NONE) return nullptr;
    ToPicture toPicture(area);
    if (g->transform(&toPicture) != OGRERR_NONE) return nullptr;
    return g;
}

const OGRPolygon& pictureSquare() {
    static const OGRPolygon square = [] {
        OGRLinearRing ring;
        for (const auto& [x, y] : {std::pair{0, 0}, {255, 0}, {255, 255}, {0, 255}, {0, 0}})
            ring.addPoint(x, y);
        OGRPolygon polygon;
        polygon.addRing(&ring);
        return polygon;
    }();
    return square;
}

class InsideCounter : public OGRDefaultConstGeometryVisitor {
  public:
    using OGRDefaultConstGeometryVisitor::visit;
    int inside = 0;
    void visit(const OGRPoint* p) override {
        if (p->getX() >= 0 && p->getX() <= 255 && p->getY() >= 0 && p->getY() <= 255) ++inside;
    }
};

std::string fieldName(const OGRFeature& feature) {
    const int field = feature.GetFieldIndex("name");
    return field >= 0 && feature.IsFieldSetAndNotNull(field) ? feature.GetFieldAsString(field) : "";
}

std::string describe(const LayerReader& reader, long long id) {
    return "Feature " + std::to_string(id) + " of layer \"" + reader.layer->GetName() + "\"";
}

Piece pieceOf(const OGRSimpleCurve& curve, bool ring) {
    Piece piece;
    const int count = curve.getNumPoints() - (ring ? 1 : 0);  // a ring repeats its first point
    for (int i = 0; i < count; ++i) piece.push_back({curve.getX(i), curve.getY(i)});
    return piece;
}

// The lines and polygons of a clipped shape, flattened.
void collect(const OGRGeometry* g, std::vector<const OGRPolygon*>& polygons,
             std::vector<const OGRLineString*>& lines) {
    const OGRwkbGeometryType type = wkbFlatten(g->getGeometryType());
    if (type == wkbPolygon) polygons.push_back(g->toPolygon());
    if (type == wkbLineString) lines.push_back(g->toLineString());
    if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
        for (const OGRGeometry* part : *g->toGeometryCollection()) collect(part, polygons, lines);
    }
}

}  // namespace

Expected<FeatureList> listFeatures(const std::string& path, const AreaEdges& area,
                                   const Progress& progress) {
    const QuietGdal quiet;
    const GDALDatasetUniquePtr dataset = openVectorFile(path);
    if (!dataset) return Error{"\"" + path + "\" is no vector file that OGR can read."};
    FeatureList list;
    const int layers = dataset->GetLayerCount();
    for (int l = 0; l < layers; ++l) {
        auto reader = readerFor(dataset->GetLayer(l), area);
        if (!reader) return reader.error();
        if (reader->assumed) {
            list.notes.push_back("Layer \"" + std::string(reader->layer->GetName()) +
                                 "\" declares no coordinate system; it was taken as WGS 84 "
                                 "longitude and latitude.");
        }
        const GIntBig total = std::max<GIntBig>(1, reader->layer->GetFeatureCount(FALSE));
        GIntBig done = 0;
        for (const auto& feature : *reader->layer) {
            if (++done % 64 == 0 && progress &&
                !progress((l + std::min(1.0, double(done) / double(total))) / layers))
                return Error{"Cancelled."};
            const OGRGeometry* shape = feature->GetGeometryRef();
            if (!shape || shape->IsEmpty()) continue;
            const Geometry g = onPicture(*shape, *reader, area);
            if (!g || !g->Intersects(&pictureSquare())) continue;
            InsideCounter counter;
            g->accept(&counter);
            list.features.push_back(
                {l, reader->layer->GetName(), feature->GetFID(), fieldName(*feature),
                 OGRGeometryTypeToName(wkbFlatten(shape->getGeometryType())), counter.inside});
        }
    }
    return list;
}

Expected<FeatureShape> featureShape(const std::string& path, int layer, long long id,
                                    const AreaEdges& area, double tolerance) {
    const QuietGdal quiet;
    const GDALDatasetUniquePtr dataset = openVectorFile(path);
    if (!dataset) return Error{"\"" + path + "\" is no vector file that OGR can read."};
    if (layer < 0 || layer >= dataset->GetLayerCount())
        return Error{"\"" + path + "\" has no layer " + std::to_string(layer) + "."};
    auto reader = readerFor(dataset->GetLayer(layer), area);
    if (!reader) return reader.error();
    const OGRFeatureUniquePtr feature(reader->layer->GetFeature(id));
    const OGRGeometry* shape = feature ? feature->GetGeometryRef() : nullptr;
    if (!shape || shape->IsEmpty()) return Error{describe(*reader, id) + " has no shape."};
    const OGRwkbGeometryType type = wkbFlatten(shape->getGeometryType());
    if (type == wkbPoint || type == wkbMultiPoint)
        return Error{describe(*reader, id) + " is a point; only lines and polygons can be traced."};
    Geometry g = onPicture(*shape, *reader, area);
    if (!g) return Error{describe(*reader, id) + " cannot be placed on the globe."};
    if (!g->IsValid()) {
        g.reset(g->MakeValid());
        if (!g || !g->IsValid())
            return Error{describe(*reader, id) + " has an invalid shape that cannot be repaired."};
    }
    // A shape inside the area keeps its points in their order; clipping
    // would start a ring anywhere.
    Geometry clipped(g->Within(&pictureSquare()) ? g->clone() : g->Intersection(&pictureSquare()));
    if (clipped && tolerance > 0) clipped.reset(clipped->Simplify(tolerance));
    if (!clipped || clipped->IsEmpty())
        return Error{describe(*reader, id) + " has no part inside the area."};

    std::vector<const OGRPolygon*> polygons;
    std::vector<const OGRLineString*> lines;
    collect(clipped.get(), polygons, lines);
    FeatureShape result;
    result.polygon = !polygons.empty();
    if (result.polygon) {
        const auto largest = std::max_element(
            polygons.begin(), polygons.end(),
            [](const OGRPolygon* a, const OGRPolygon* b) { return a->get_Area() < b->get_Area(); });
        result.pieces.push_back(pieceOf(*(*largest)->getExteriorRing(), true));
        return result;
    }
    std::sort(lines.begin(), lines.end(), [](const OGRLineString* a, const OGRLineString* b) {
        return a->get_Length() > b->get_Length();
    });
    for (const OGRLineString* line : lines) result.pieces.push_back(pieceOf(*line, false));
    if (result.pieces.empty())
        return Error{describe(*reader, id) + " has no part inside the area."};
    return result;
}

}  // namespace qm4::geo
