// The points of both lists, read as the picture's trace reads them, and
// thinned for a view that shows them smaller.
#include "capture/area_trace.h"

#include <cstdlib>

namespace qm4 {

AreaTrace areaTrace(const ProjectState& s) {
    AreaTrace trace{areaNumbers(s), {}, {}, VtpLinePoly(s) == 0};
    for (const std::string& line : s.lstLWM.lines)
        if (const auto point = lwmPointOf(line)) trace.lwm.push_back(*point);
    for (const std::string& line : s.lstVTP.lines)
        if (const auto point = vtpPointOf(line, trace.area.areaX, trace.area.areaY))
            trace.vtp.push_back(*point);
    return trace;
}

namespace {

std::vector<TracePoint> thinnedPoints(const std::vector<TracePoint>& points, int tolerance) {
    std::vector<TracePoint> kept;
    kept.reserve(points.size() / static_cast<std::size_t>(tolerance) + 2);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TracePoint& p = points[i];
        if (kept.empty() || i + 1 == points.size() || std::abs(p.x - kept.back().x) >= tolerance ||
            std::abs(p.y - kept.back().y) >= tolerance)
            kept.push_back(p);
    }
    return kept;
}

}  // namespace

AreaTrace thinned(const AreaTrace& trace, int tolerance) {
    return {trace.area, thinnedPoints(trace.lwm, tolerance), thinnedPoints(trace.vtp, tolerance),
            trace.vtpClosed};
}

}  // namespace qm4
