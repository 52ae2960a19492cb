// The points that list lines stand for, as the trace on the picture draws
// them: an LWM line gives its pixel, a VTP line its cell position less the
// current area's offset. Lines that are no point lines give nothing.
#pragma once

#include <optional>
#include <string_view>

namespace qm4 {

struct TracePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TracePoint&, const TracePoint&) = default;
};

// "LWMPoint  10,  20", blanks as the author may have typed them.
std::optional<TracePoint> lwmPointOf(std::string_view line);

// "VTPPointXY2  4855,  5885" or "VTPWidePoint  4855, 1,  5885, 0", in the
// picture of area areaX, areaY.
std::optional<TracePoint> vtpPointOf(std::string_view line, int areaX, int areaY);

}  // namespace qm4
