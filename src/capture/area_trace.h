// A project's trace as the region map draws it: the points of both lists on
// the picture of the project's area, the same points the picture's trace
// shows. One for the open project; a batch gives one for each of its
// projects.
#pragma once

#include <vector>

#include "capture/point_lines.h"
#include "model/area_grid.h"

namespace qm4 {

struct AreaTrace {
    AreaNumbers area;
    std::vector<TracePoint> lwm;  // a polygon: the mask closes back to its first point
    std::vector<TracePoint> vtp;
    bool vtpClosed = false;  // Poly mode
};

// Lines that are no points (comments, a wide line's width) give nothing.
AreaTrace areaTrace(const ProjectState& s);

// The trace as a view that shows `tolerance` picture pixels as one needs
// it: of points closer than that on both axes to the last one kept, only
// the list's last is kept.
AreaTrace thinned(const AreaTrace& trace, int tolerance);

}  // namespace qm4
