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

// The ring as a part of its own; when the area cut it, from a fixed point
// in a fixed direction: where the clip starts a ring depends on everything
// else it was given.
Geometry ringPart(const OGRLinearRing& ring, bool canonical) {
    auto out = std::make_unique<OGRLinearRing>();
    if (canonical) {
        const int n = ring.getNumPoints() - 1;  // the closing point repeats the first
        double twiceArea = 0;
        int first = 0;
        for (int i = 0; i < n; ++i) {
            twiceArea += ring.getX(i) * ring.getY(i + 1) - ring.getX(i + 1) * ring.getY(i);
            if (std::pair{ring.getY(i), ring.getX(i)} <
                std::pair{ring.getY(first), ring.getX(first)})
                first = i;
        }
        // With Y pointing down, a positive shoelace sum runs clockwise on screen.
        const int step = twiceArea >= 0 ? 1 : n - 1;
        for (int k = 0, i = first; k <= n; ++k, i = (i + step) % n)
            out->addPoint(ring.getX(i), ring.getY(i));
    } else {
        out->addSubLineString(&ring);
    }
    auto result = std::make_unique<OGRPolygon>();
    result->addRingDirectly(out.release());
    return result;
}

// A part with its size (area or length) and, for a hole, its ring's number.
struct Sized {
    Geometry part;
    double size = 0;
    std::size_t of = 0;
};

std::pair<double, double> firstPoint(const OGRGeometry& part) {
    const OGRSimpleCurve& curve = wkbFlatten(part.getGeometryType()) == wkbLineString
                                      ? *part.toLineString()
                                      : *part.toPolygon()->getExteriorRing();
    return {curve.getY(0), curve.getX(0)};
}

// Larger first; parts of one size (to a millionth of a pixel) by their
// first point, top-most then left-most, so the order never depends on the
// order in which the clip happened to give them.
bool before(const Sized& a, const Sized& b) {
    const double roundedA = std::round(a.size * 1e6), roundedB = std::round(b.size * 1e6);
    if (roundedA != roundedB) return roundedA > roundedB;
    return firstPoint(*a.part) < firstPoint(*b.part);
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
    std::vector<Sized> sized, holes;
    for (const OGRPolygon* p : polygons)
        sized.push_back({ringPart(*p->getExteriorRing(), !within), p->get_Area(), 0});
    for (const OGRLineString* line : lines)
        if (!result.polygon) sized.push_back({Geometry(line->clone()), line->get_Length(), 0});
    std::vector<std::size_t> order(sized.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return before(sized[a], sized[b]); });
    for (std::size_t k = 0; k < order.size(); ++k) {
        for (int h = 0; result.polygon && h < polygons[order[k]]->getNumInteriorRings(); ++h) {
            const OGRLinearRing& ring = *polygons[order[k]]->getInteriorRing(h);
            holes.push_back({ringPart(ring, !within), std::abs(ring.get_Area()), k + 1});
        }
        result.parts.push_back(std::move(sized[order[k]].part));
        result.holeOf.push_back(0);
    }
    std::sort(holes.begin(), holes.end(), [](const Sized& a, const Sized& b) {
        return a.of != b.of ? a.of < b.of : before(a, b);
    });
    for (Sized& hole : holes) {
        result.parts.push_back(std::move(hole.part));
        result.holeOf.push_back(hole.of);
    }
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

PieceKind partKind(const AreaParts& parts, std::size_t part) {
    if (!parts.polygon) return PieceKind::Line;
    return parts.holeOf[part] != 0 ? PieceKind::Hole : PieceKind::Ring;
}

}  // namespace qm4::geo
