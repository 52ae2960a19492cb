// Areas on the globe and positions on their pictures.
#include "model/area_grid.h"

#include <cmath>
#include <cstdio>

#include "model/numbers.h"

namespace qm4 {

AreaEdges areaEdges(const ProjectState& s) {
    AreaEdges area;
    area.west =
        -180 + leadingNumber(s.txtcellx) * kCellWidth + leadingNumber(s.txtareax) * kAreaWidth;
    area.north =
        90 - leadingNumber(s.txtcelly) * kCellHeight - leadingNumber(s.txtareay) * kAreaHeight;
    area.east = area.west + kAreaWidth;
    area.south = area.north - kAreaHeight;
    return area;
}

AreaNumbers areaNumbers(const ProjectState& s) {
    const auto whole = [](const std::string& text) {
        return static_cast<int>(std::lround(leadingNumber(text)));
    };
    return {whole(s.txtcellx), whole(s.txtcelly), whole(s.txtareax), whole(s.txtareay)};
}

std::optional<AreaNumbers> neighbourArea(const AreaNumbers& area, int dx, int dy) {
    const int column =
        ((area.cellX * kAreasPerCell + area.areaX + dx) % kAreaColumns + kAreaColumns) %
        kAreaColumns;
    const int row = area.cellY * kAreasPerCell + area.areaY + dy;
    if (row < 0 || row >= kAreaRows) return std::nullopt;
    return AreaNumbers{column / kAreasPerCell, row / kAreasPerCell, column % kAreasPerCell,
                       row % kAreasPerCell};
}

LatLon areaCentre(const AreaNumbers& area) {
    return {90 - (area.cellY * kAreasPerCell + area.areaY + 0.5) * kAreaHeight,
            -180 + (area.cellX * kAreasPerCell + area.areaX + 0.5) * kAreaWidth};
}

LatLon pixelToLatLon(const AreaEdges& area, double x, double y) {
    return {area.north - y * kAreaHeight / kAreaPixelSteps,
            area.west + x * kAreaWidth / kAreaPixelSteps};
}

void latLonToPixel(const AreaEdges& area, const LatLon& place, double& x, double& y) {
    x = (place.lon - area.west) * kAreaPixelSteps / kAreaWidth;
    y = (area.north - place.lat) * kAreaPixelSteps / kAreaHeight;
}

std::string degreesMinutesText(double value, bool latitude) {
    const char hemisphere = latitude ? (value < 0 ? 'S' : 'N') : (value < 0 ? 'W' : 'E');
    // Rounded in thousandths of a minute first, so 59.9996 never shows as 60.
    const double thousandths = std::round(std::fabs(value) * 60000);
    const double degrees = std::floor(thousandths / 60000);
    char text[48];
    std::snprintf(text, sizeof text, "%c%.0f\u00B0 %06.3f'", hemisphere, degrees,
                  (thousandths - degrees * 60000) / 1000);
    return text;
}

}  // namespace qm4
