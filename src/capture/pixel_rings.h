// Rings and runs on the area's picture in whole pixels: a ring made simple
// where rounding made it cross or touch itself, its area, and its shoreline,
// the runs that do not lie on the area's edge.
#pragma once

#include <span>
#include <vector>

namespace qm4 {

// A position on the area's picture, 0..255 on each axis, not yet rounded.
struct PicturePoint {
    double x = 0;
    double y = 0;
};
using Piece = std::vector<PicturePoint>;

struct PicturePixel {
    int x = 0;
    int y = 0;
    friend bool operator==(const PicturePixel&, const PicturePixel&) = default;
};

// The last pixel of the picture on each axis: the area's east and south edges.
inline constexpr int kLastPixel = 255;

// Twice the area the ring (without its closing point) encloses, positive
// when it runs clockwise on the picture (Y points down).
long long twiceArea(std::span<const PicturePixel> ring);

// The ring as a simple polygon: wherever two of its edges cross, touch or
// run back over each other, the part they close off that encloses less is
// cut away, until no two do. Each cut drops at least one pixel, so a ring
// with fewer than three pixels can come back.
std::vector<PicturePixel> simpleRing(std::vector<PicturePixel> ring);

// Whether the segment runs along one of the area's edges: both ends on
// x = 0, both on x = 255, both on y = 0 or both on y = 255.
bool onAreaEdge(PicturePixel a, PicturePixel b);

// The ring's shoreline: its runs of consecutive segments (the closing one
// included) that do not lie on the area's edge, each from its first pixel
// to its last, the longest first and runs of one length in the ring's
// order. A ring with no segment on the edge is one run that ends where it
// starts; a ring all on the edge has none.
std::vector<std::vector<PicturePixel>> shorelineRuns(std::span<const PicturePixel> ring);

}  // namespace qm4
