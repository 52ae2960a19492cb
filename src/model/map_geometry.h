// The region map's geometry: the globe's areas laid side by side as
// squares, as each area's picture shows its area, so that a trace looks on
// the map as it does on the picture. A place on the map is counted in
// areas: x east from longitude -180, y south from latitude 90; the area in
// column c and row r covers c to c + 1 and r to r + 1. East of the last
// column the first comes again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/area_grid.h"

namespace qm4 {

struct MapPoint {
    double x = 0;
    double y = 0;
};

MapPoint mapPointOf(const LatLon& place);
LatLon latLonOf(const MapPoint& point);

// The area that holds the place, its column taken around the globe; none
// beyond the poles.
std::optional<AreaNumbers> areaAt(const MapPoint& point);
// The area in a column (taken around the globe) and a row of the globe's grid.
AreaNumbers areaOf(int column, int row);
int columnOf(const AreaNumbers& area);
int rowOf(const AreaNumbers& area);
// What lies at a place, as the map names it when the mouse is there:
// "Cell 123, 120   Area 5, 28   Pixel 10, 20   N47° 30.000'  W122° 15.500'",
// the pixel being the nearest of the area's picture; "Beyond the pole".
std::string placeText(const MapPoint& place);
// What the map shows: the place in its middle, its scale in widget pixels
// per area and its size in widget pixels.
struct MapView {
    MapPoint centre;
    double scale = 16;
    double width = 0;
    double height = 0;
};

struct WidgetPoint {
    double x = 0;
    double y = 0;
};

MapPoint mapPointAt(const MapView& view, double x, double y);
// The widget position of a place, the copy of its column around the globe
// nearest the view's middle.
WidgetPoint widgetPointOf(const MapView& view, const MapPoint& point);
// What x needs added, a whole number of turns around the globe, to be the
// copy nearest the view's middle.
double nearestTurn(const MapView& view, double x);

// The scale that shows a whole cell (32 areas) across the shorter side, and
// the one that shows two areas.
double smallestScale(const MapView& view);
double largestScale(const MapView& view);
// The view with its scale within the limits, its middle's column taken
// around the globe and its row within the poles.
MapView held(MapView view);
// Zoomed by a factor about a widget position, whose place stays under it
// unless a limit stops the zoom.
MapView zoomedAbout(const MapView& view, double x, double y, double factor);
// Moved as the map follows the mouse by dx, dy widget pixels.
MapView panned(const MapView& view, double dx, double dy);

// The columns and rows of the areas the view shows, whole or in part; the
// columns may run beyond the globe's ends (areaOf takes them around).
struct AreaRange {
    int firstColumn = 0;
    int lastColumn = -1;
    int firstRow = 0;
    int lastRow = -1;
};
AreaRange visibleAreas(const MapView& view);
// The areas of a rectangle dragged between two places: each area it
// touches, its columns running on across the antimeridian, its rows held
// within the poles.
AreaRange areasBetween(const MapPoint& from, const MapPoint& to);
// The range's areas, row by row from the north-west; each area once, however
// far the range runs around the globe.
std::vector<AreaNumbers> areasIn(const AreaRange& range);

// Imagery comes in square tiles of 1 to 32 areas a side, cut at 512 pixels:
// the span whose tile is nearest that size on the screen, so the picture is
// within a factor of 1.41 of the view's own resolution.
inline constexpr int kTilePixels = 512;
struct MapTile {
    int span = 1;
    int column = 0;  // of its north-west area, a multiple of span
    int row = 0;
    friend bool operator==(const MapTile&, const MapTile&) = default;
};
int tileSpan(double scale);
// The tiles the view shows, the one nearest its middle first.
std::vector<MapTile> tilesFor(const MapView& view);
AreaEdges tileEdges(const MapTile& tile);
// The square of the map that a tile's picture covers: the helper centres
// its edge pixels on the tile's edges, so the picture reaches half a step of
// 255 to the side beyond them.
struct MapSquare {
    MapPoint corner;
    double side = 0;
};
MapSquare tilePicture(const MapTile& tile);

// The box whose outlines the view asks for: the view and half of it again
// on every side, its longitudes going on beyond 180 (or below -180) across
// the antimeridian, its latitudes held within the poles.
AreaEdges outlineBox(const MapView& view);
// Whether the box still holds all the view shows, a turn around the globe
// apart or not.
bool boxHolds(const AreaEdges& box, const MapView& view);
// The degrees of latitude of a widget pixel, the finer of its two sides.
double pixelDegrees(const MapView& view);

}  // namespace qm4
