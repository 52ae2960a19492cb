// The grid of cells and areas on the globe, and the picture of one area:
// pixel 0, 0 at the area's north-west corner, 255, 255 at its south-east
// corner (the last pixel of an area and the first of the next share their
// VTP value, so 255 steps span the area), X east and Y south.
#pragma once

#include <string>

#include "model/project_state.h"

namespace qm4 {

inline constexpr double kCellWidth = 0.46875;          // 360 / 768
inline constexpr double kCellHeight = 0.3515625;       // 180 / 512
inline constexpr double kAreaWidth = 0.0146484375;     // 360 / 24576
inline constexpr double kAreaHeight = 0.010986328125;  // 180 / 16384
inline constexpr double kAreaPixelSteps = 255;

struct LatLon {
    double lat = 0;
    double lon = 0;
};

struct AreaEdges {
    double north = 0;
    double south = 0;
    double west = 0;
    double east = 0;
};

// The area named by the cell and area boxes (their leading numbers).
AreaEdges areaEdges(const ProjectState& s);

LatLon pixelToLatLon(const AreaEdges& area, double x, double y);
// The picture position of a place; outside 0..255 for a place beyond the area.
void latLonToPixel(const AreaEdges& area, const LatLon& place, double& x, double& y);

// Degrees and decimal minutes with the hemisphere letter: "N47° 29.876'",
// "W122° 15.500'".
std::string degreesMinutesText(double value, bool latitude);

}  // namespace qm4
