// A shape's pieces on one area's picture: the shape (in WGS 84
// longitude/latitude) mapped onto the picture, clipped to it, and each
// piece simplified on its own. Import Shape and the batch both go through
// here, so the batch's piece is the one the window imports.
#pragma once

#include <vector>

#include "capture/shape_presses.h"
#include "geo/ogr_support.h"

namespace qm4::geo {

struct AreaParts {
    bool polygon = false;
    // On the picture, not simplified, each a single ring or a line. A
    // polygon's outer rings come first, largest first, then the holes, by
    // their ring and each ring's largest first; when the area cuts the
    // polygon, each ring starts at its top-most, then left-most point and
    // runs clockwise on the picture. A line's parts keep their direction,
    // longest first. Parts of one size go by their first point, top-most,
    // then left-most.
    std::vector<Geometry> parts;
    // For each part: 0, or the number (from 1) of the part whose hole it is.
    std::vector<std::size_t> holeOf;
};

// mayBeWithin false: the caller knows the shape reaches beyond the area,
// so it is clipped without asking (the batch hands in only the shape's
// neighbourhood of the area).
AreaParts partsInArea(const OGRGeometry& lonLat, const AreaEdges& area, bool mayBeWithin);

// A part simplified (Douglas-Peucker, tolerance in picture pixels; 0: not
// at all) as picture positions, a ring without its closing point; empty
// when the simplification leaves nothing.
Piece simplifiedPiece(const OGRGeometry& part, double tolerance);

// What the part traces: a line, a ring or a hole.
PieceKind partKind(const AreaParts& parts, std::size_t part);

}  // namespace qm4::geo
