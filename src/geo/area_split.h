// The batch's geometry: features read once, then split over the region's
// grid of areas, halving the region again and again, so that each area
// receives only the neighbourhood of the features that meet it and the
// whole work grows with the vertices times the depth of the halving, not
// with vertices times areas.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "geo/ogr_support.h"

namespace qm4::geo {

// An area by its place in the whole grid: x = cell x * 32 + area x
// (0..24575), y = cell y * 32 + area y (0..16383).
struct GridArea {
    int x = 0;
    int y = 0;
    friend bool operator==(const GridArea&, const GridArea&) = default;
};

// Areas x0 <= x < x1, y0 <= y < y1.
struct GridRange {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    long long count() const { return (long long)(x1 - x0) * (y1 - y0); }
};

// A feature in WGS 84 longitude/latitude, repaired, as read once.
struct BatchFeature {
    int layer = 0;
    std::string layerName;
    long long fid = 0;
    std::string name;
    Geometry shape;
};

// A feature's neighbourhood of one area: its whole shape when it lies in
// the area (then it may keep its points in their order), otherwise the
// parts of it near the area.
struct NearArea {
    std::size_t feature = 0;  // index into the features
    Geometry shape;
    bool whole = false;
};

struct SplitWork {
    // Only these areas get work.
    std::function<bool(GridArea)> wanted;
    // The smallest range that holds every wanted area of a range (none:
    // an empty one); unset: the range itself. The halving narrows the
    // shapes straight to it, so that areas far apart cost what each costs
    // alone.
    std::function<GridRange(const GridRange&)> wantedWithin;
    // Called for each wanted area that some feature comes near, from any of
    // the jobs, with the features in their order.
    std::function<void(GridArea, std::vector<NearArea>&)> area;
    // Areas of the range finished so far, the skipped ones included.
    std::atomic<long long>* done = nullptr;
};

// The edges of an area as the window computes them from its boxes.
AreaEdges gridAreaEdges(GridArea area);

// Splits the features over the range with the given number of jobs.
void splitOverAreas(const std::vector<BatchFeature>& features, GridRange range, int jobs,
                    const SplitWork& work);

}  // namespace qm4::geo
