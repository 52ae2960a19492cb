// Clipping a shape to the area's picture and simplifying its pieces, with
// GEOS through OGR.
#include "geo/area_pieces.h"

#include <algorithm>
#include <cmath>

namespace qm4::geo {
namespace {

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

void collect(const OGRGeometry* g, std::vector<const OGRPolygon*>& polygons,
             std::vector<const OGRLineString*>& lines) {
    if (g->IsEmpty()) return;
    const OGRwkbGeometryType type = wkbFlatten(g->getGeometryType());
    if (type == wkbPolygon) polygons.push_back(g->toPolygon());
    if (type == wkbLineString) lines.push_back(g->toLineString());
    if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
        for (const OGRGeometry* part : *g->toGeometryCollection()) collect(part, polygons, lines);
    }
}

// The exterior ring alone, from a fixed point in a fixed direction: where
// the clip starts a ring depends on everything else it was given.
Geometry canonicalRing(const OGRPolygon& polygon) {
    const OGRLinearRing* ring = polygon.getExteriorRing();
    const int n = ring->getNumPoints() - 1;  // the closing point repeats the first
    double twiceArea = 0;
    int first = 0;
    for (int i = 0; i < n; ++i) {
        twiceArea += ring->getX(i) * ring->getY(i + 1) - ring->getX(i + 1) * ring->getY(i);
        if (std::pair{ring->getY(i), ring->getX(i)} <
            std::pair{ring->getY(first), ring->getX(first)})
            first = i;
    }
    // With Y pointing down, a positive shoelace sum runs clockwise on screen.
    const int step = twiceArea >= 0 ? 1 : n - 1;
    auto out = std::make_unique<OGRLinearRing>();
    for (int k = 0, i = first; k <= n; ++k, i = (i + step) % n)
        out->addPoint(ring->getX(i), ring->getY(i));
    auto result = std::make_unique<OGRPolygon>();
    result->addRingDirectly(out.release());
    return result;
}

// Larger first; pieces of one size (to a millionth of a pixel) by their
// first point, top-most then left-most, so the order never depends on the
// order in which the clip happened to give them.
bool before(double sizeA, const OGRSimpleCurve& a, double sizeB, const OGRSimpleCurve& b) {
    const double roundedA = std::round(sizeA * 1e6), roundedB = std::round(sizeB * 1e6);
    if (roundedA != roundedB) return roundedA > roundedB;
    return std::pair{a.getY(0), a.getX(0)} < std::pair{b.getY(0), b.getX(0)};
}

Piece pieceOf(const OGRSimpleCurve& curve, bool ring) {
    Piece piece;
    const int count = curve.getNumPoints() - (ring ? 1 : 0);
    for (int i = 0; i < count; ++i) piece.push_back({curve.getX(i), curve.getY(i)});
    return piece;
}

}  // namespace

AreaParts partsInArea(const OGRGeometry& lonLat, const AreaEdges& area, bool mayBeWithin) {
    const QuietGdal quiet;
    Geometry g(lonLat.clone());
    ToPicture toPicture(area);
    g->transform(&toPicture);
    // A shape inside the area keeps its points in their order.
    const bool within = mayBeWithin && g->Within(&pictureSquare());
    const Geometry clipped(within ? std::move(g) : Geometry(g->Intersection(&pictureSquare())));
    AreaParts result;
    if (!clipped) return result;
    std::vector<const OGRPolygon*> polygons;
    std::vector<const OGRLineString*> lines;
    collect(clipped.get(), polygons, lines);
    result.polygon = !polygons.empty();
    if (result.polygon) {
        std::sort(polygons.begin(), polygons.end(), [](const auto* a, const auto* b) {
            return before(a->get_Area(), *a->getExteriorRing(), b->get_Area(),
                          *b->getExteriorRing());
        });
        for (const OGRPolygon* p : polygons) {
            if (within) {
                auto ring = std::make_unique<OGRPolygon>();
                ring->addRingDirectly(p->getExteriorRing()->clone());
                result.parts.push_back(std::move(ring));
            } else {
                result.parts.push_back(canonicalRing(*p));
            }
        }
        return result;
    }
    std::sort(lines.begin(), lines.end(), [](const auto* a, const auto* b) {
        return before(a->get_Length(), *a, b->get_Length(), *b);
    });
    for (const OGRLineString* line : lines) result.parts.emplace_back(line->clone());
    return result;
}

Piece simplifiedPiece(const OGRGeometry& part, double tolerance) {
    const QuietGdal quiet;
    const Geometry simple(tolerance > 0 ? part.Simplify(tolerance) : part.clone());
    if (!simple || simple->IsEmpty()) return {};
    std::vector<const OGRPolygon*> polygons;
    std::vector<const OGRLineString*> lines;
    collect(simple.get(), polygons, lines);
    if (!polygons.empty()) {
        const auto largest = std::max_element(
            polygons.begin(), polygons.end(),
            [](const auto* a, const auto* b) { return a->get_Area() < b->get_Area(); });
        return pieceOf(*(*largest)->getExteriorRing(), true);
    }
    return lines.empty() ? Piece{} : pieceOf(*lines.front(), false);
}

}  // namespace qm4::geo
