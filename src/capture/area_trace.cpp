// The points of both lists, read as the picture's trace reads them.
#include "capture/area_trace.h"

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

}  // namespace qm4
