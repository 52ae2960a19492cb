// The grid of cells and areas on the globe, and the picture of one area:
// pixel 0, 0 at the area's north-west corner, 255, 255 at its south-east
// corner (the last pixel of an area and the first of the next share their
// VTP value, so 255 steps span the area), X east and Y south.
#pragma once

#include <optional>
#include <string>

#include "model/project_state.h"

namespace qm4 {

inline constexpr double kCellWidth = 0.46875;          // 360 / 768
inline constexpr double kCellHeight = 0.3515625;       // 180 / 512
inline constexpr double kAreaWidth = 0.0146484375;     // 360 / 24576
inline constexpr double kAreaHeight = 0.010986328125;  // 180 / 16384
inline constexpr double kAreaPixelSteps = 255;
inline constexpr int kAreasPerCell = 32;
inline constexpr int kAreaColumns = 768 * kAreasPerCell;  // around the globe
inline constexpr int kAreaRows = 512 * kAreasPerCell;     // from pole to pole

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

// An area by its numbers: cell 0..767, 0..511 and area 0..31, 0..31 in it.
struct AreaNumbers {
    int cellX = 0, cellY = 0, areaX = 0, areaY = 0;
    friend bool operator==(const AreaNumbers&, const AreaNumbers&) = default;
};

// The cell and area boxes' numbers, rounded.
AreaNumbers areaNumbers(const ProjectState& s);

// The area dx east and dy south of this one, across cell edges. East of the
// last column lies the first, as on the globe; north of the top row and south
// of the bottom row there is none.
std::optional<AreaNumbers> neighbourArea(const AreaNumbers& area, int dx, int dy);

// The middle of the area.
LatLon areaCentre(const AreaNumbers& area);

LatLon pixelToLatLon(const AreaEdges& area, double x, double y);
// The picture position of a place; outside 0..255 for a place beyond the area.
void latLonToPixel(const AreaEdges& area, const LatLon& place, double& x, double& y);

// Degrees and decimal minutes with the hemisphere letter: "N47° 29.876'",
// "W122° 15.500'".
std::string degreesMinutesText(double value, bool latitude);

}  // namespace qm4
