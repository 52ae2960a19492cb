// Reading outlines with OGR: each layer read in WGS 84 within the box (and
// within the part of it beyond the antimeridian, turned around the globe),
// polygons taken as their rings, clipped to the box and simplified by GEOS.
#include "geo/outlines.h"

#include <algorithm>

#include "geo/ogr_support.h"

namespace qm4::geo {
namespace {

OGRPolygon boxPolygon(const AreaEdges& box) {
    const double lons[] = {box.west, box.east, box.east, box.west, box.west};
    const double lats[] = {box.north, box.north, box.south, box.south, box.north};
    OGRLinearRing ring;
    ring.setPoints(5, lons, lats);
    OGRPolygon polygon;
    polygon.addRing(&ring);
    return polygon;
}

// The lines of a clipped shape, their longitudes less a turn around the globe.
void collectLines(const OGRGeometry& g, double turn, std::vector<Outline>& found) {
    const OGRwkbGeometryType type = wkbFlatten(g.getGeometryType());
    if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
        for (const OGRGeometry* part : *g.toGeometryCollection()) collectLines(*part, turn, found);
    } else if (type == wkbLineString && g.toLineString()->getNumPoints() > 1) {
        Outline line;
        for (const OGRPoint& p : *g.toLineString()) line.push_back({p.getY(), p.getX() - turn});
        found.push_back(std::move(line));
    }
}

// A shape as the lines the map draws: a polygon's rings, a line itself.
Geometry drawnLines(const OGRGeometry& shape) {
    if (shape.getDimension() == 2) return Geometry(shape.Boundary());
    if (shape.getDimension() == 1) return Geometry(shape.clone());
    return nullptr;
}

}  // namespace

Expected<std::vector<Outline>> outlines(const std::string& path, const AreaEdges& box,
                                        double pixel) {
    const QuietGdal quiet;
    auto dataset = openVectorFile(path);
    if (!dataset) return dataset.error();
    std::vector<Outline> found;
    for (const double turn : {360.0, 0.0, -360.0}) {  // from west to east
        const AreaEdges part{box.north, box.south, std::max(box.west + turn, -180.0),
                             std::min(box.east + turn, 180.0)};
        if (part.west >= part.east) continue;
        const OGRPolygon clip = boxPolygon(part);
        for (int l = 0; l < (*dataset)->GetLayerCount(); ++l) {
            auto reader = readerFor((*dataset)->GetLayer(l), part);
            if (!reader) return reader.error();
            for (const auto& feature : *reader->layer) {
                const OGRGeometry* shape = feature->GetGeometryRef();
                if (!shape || shape->IsEmpty()) continue;
                Geometry g(shape->clone());
                if (reader->toWgs84 && g->transform(reader->toWgs84.get()) != OGRERR_NONE) continue;
                const Geometry lines = drawnLines(*g);
                const Geometry inside(lines ? lines->Intersection(&clip) : nullptr);
                const Geometry simple(inside ? inside->Simplify(pixel) : nullptr);
                if (simple) collectLines(*simple, turn, found);
            }
        }
    }
    return found;
}

}  // namespace qm4::geo
