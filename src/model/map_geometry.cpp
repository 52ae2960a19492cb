// Places on the region map, the view over it, its zoom and pan, and the
// tiles and boxes it asks the GIS helper for.
#include "model/map_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

namespace qm4 {
namespace {

double aroundTheGlobe(double x) {
    const double turned = std::fmod(x, kAreaColumns);
    return turned < 0 ? turned + kAreaColumns : turned;
}

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

double longitudeAt(double x) { return x * kAreaWidth - 180; }
double latitudeAt(double y) { return 90 - y * kAreaHeight; }

}  // namespace

MapPoint mapPointOf(const LatLon& place) {
    return {(place.lon + 180) / kAreaWidth, (90 - place.lat) / kAreaHeight};
}

LatLon latLonOf(const MapPoint& point) {
    return {latitudeAt(point.y), longitudeAt(aroundTheGlobe(point.x))};
}

std::optional<AreaNumbers> areaAt(const MapPoint& point) {
    const double row = std::floor(point.y);
    if (row < 0 || row >= kAreaRows) return std::nullopt;
    return areaOf(static_cast<int>(std::floor(aroundTheGlobe(point.x))), static_cast<int>(row));
}

AreaNumbers areaOf(int column, int row) {
    column = ((column % kAreaColumns) + kAreaColumns) % kAreaColumns;
    return {column / kAreasPerCell, row / kAreasPerCell, column % kAreasPerCell,
            row % kAreasPerCell};
}

int columnOf(const AreaNumbers& area) { return area.cellX * kAreasPerCell + area.areaX; }
int rowOf(const AreaNumbers& area) { return area.cellY * kAreasPerCell + area.areaY; }

std::string placeText(const MapPoint& place) {
    const auto area = areaAt(place);
    if (!area) return "Beyond the pole";
    const LatLon where = latLonOf(place);
    char text[160];
    std::snprintf(text, sizeof text, "Cell %d, %d   Area %d, %d   Pixel %ld, %ld   %s  %s",
                  area->cellX, area->cellY, area->areaX, area->areaY,
                  std::lround((aroundTheGlobe(place.x) - columnOf(*area)) * kAreaPixelSteps),
                  std::lround((place.y - rowOf(*area)) * kAreaPixelSteps),
                  degreesMinutesText(where.lat, true).c_str(),
                  degreesMinutesText(where.lon, false).c_str());
    return text;
}

MapPoint mapPointAt(const MapView& view, double x, double y) {
    return {view.centre.x + (x - view.width / 2) / view.scale,
            view.centre.y + (y - view.height / 2) / view.scale};
}

double nearestTurn(const MapView& view, double x) {
    return std::round((view.centre.x - x) / kAreaColumns) * kAreaColumns;
}

WidgetPoint widgetPointOf(const MapView& view, const MapPoint& point) {
    const double x = point.x + nearestTurn(view, point.x);
    return {(x - view.centre.x) * view.scale + view.width / 2,
            (point.y - view.centre.y) * view.scale + view.height / 2};
}

double smallestScale(const MapView& view) {
    return std::max(1.0, std::min(view.width, view.height) / kAreasPerCell);
}

double largestScale(const MapView& view) {
    return std::max(smallestScale(view), std::min(view.width, view.height) / 2);
}

MapView held(MapView view) {
    view.scale = std::clamp(view.scale, smallestScale(view), largestScale(view));
    view.centre.x = aroundTheGlobe(view.centre.x);
    view.centre.y = std::clamp(view.centre.y, 0.0, double(kAreaRows));
    return view;
}

MapView zoomedAbout(const MapView& view, double x, double y, double factor) {
    const MapPoint under = mapPointAt(view, x, y);
    MapView zoomed = view;
    zoomed.scale = std::clamp(view.scale * factor, smallestScale(view), largestScale(view));
    zoomed.centre = {under.x - (x - view.width / 2) / zoomed.scale,
                     under.y - (y - view.height / 2) / zoomed.scale};
    return held(zoomed);
}

MapView panned(const MapView& view, double dx, double dy) {
    MapView moved = view;
    moved.centre = {view.centre.x - dx / view.scale, view.centre.y - dy / view.scale};
    return held(moved);
}

AreaRange visibleAreas(const MapView& view) {
    const MapPoint first = mapPointAt(view, 0, 0);
    const MapPoint last = mapPointAt(view, view.width, view.height);
    return {static_cast<int>(std::floor(first.x)), static_cast<int>(std::ceil(last.x)) - 1,
            std::max(0, static_cast<int>(std::floor(first.y))),
            std::min(kAreaRows - 1, static_cast<int>(std::ceil(last.y)) - 1)};
}

AreaRange areasBetween(const MapPoint& from, const MapPoint& to) {
    const auto whole = [](double v) { return static_cast<int>(std::floor(v)); };
    const auto row = [&](double y) { return std::clamp(whole(y), 0, kAreaRows - 1); };
    return {whole(std::min(from.x, to.x)), whole(std::max(from.x, to.x)),
            row(std::min(from.y, to.y)), row(std::max(from.y, to.y))};
}

std::vector<AreaNumbers> areasIn(const AreaRange& range) {
    const int columns = std::min(range.lastColumn - range.firstColumn + 1, kAreaColumns);
    std::vector<AreaNumbers> areas;
    for (int row = range.firstRow; row <= range.lastRow; ++row)
        for (int column = range.firstColumn; column < range.firstColumn + columns; ++column)
            areas.push_back(areaOf(column, row));
    return areas;
}

int tileSpan(double scale) {
    const double span = std::exp2(std::round(std::log2(kTilePixels / scale)));
    return static_cast<int>(std::clamp(span, 1.0, double(kAreasPerCell)));
}

std::vector<MapTile> tilesFor(const MapView& view) {
    const int span = tileSpan(view.scale);
    const AreaRange shown = visibleAreas(view);
    std::vector<MapTile> tiles;
    for (int row = floorDiv(shown.firstRow, span); row <= floorDiv(shown.lastRow, span); ++row)
        for (int column = floorDiv(shown.firstColumn, span);
             column <= floorDiv(shown.lastColumn, span); ++column)
            tiles.push_back({span, column * span, row * span});
    const auto distance = [&](const MapTile& t) {
        return std::hypot(t.column + span / 2.0 - view.centre.x,
                          t.row + span / 2.0 - view.centre.y);
    };
    // Tiles as far from the middle go in the order they were made, row by row.
    std::sort(tiles.begin(), tiles.end(), [&](const MapTile& a, const MapTile& b) {
        return std::tuple(distance(a), a.row, a.column) < std::tuple(distance(b), b.row, b.column);
    });
    for (MapTile& tile : tiles) tile.column = columnOf(areaOf(tile.column, 0));
    return tiles;
}

AreaEdges tileEdges(const MapTile& tile) {
    return {latitudeAt(tile.row), latitudeAt(tile.row + tile.span), longitudeAt(tile.column),
            longitudeAt(tile.column + tile.span)};
}

MapSquare tilePicture(const MapTile& tile) {
    const double half = tile.span / kAreaPixelSteps / 2;
    return {{tile.column - half, tile.row - half}, tile.span + 2 * half};
}

AreaEdges outlineBox(const MapView& view) {
    const double across = view.width / view.scale, down = view.height / view.scale;
    return {std::min(90.0, latitudeAt(view.centre.y - down)),
            std::max(-90.0, latitudeAt(view.centre.y + down)), longitudeAt(view.centre.x - across),
            longitudeAt(view.centre.x + across)};
}

bool boxHolds(const AreaEdges& box, const MapView& view) {
    const double west = longitudeAt(view.centre.x - view.width / 2 / view.scale);
    const double east = longitudeAt(view.centre.x + view.width / 2 / view.scale);
    const double north = std::min(90.0, latitudeAt(view.centre.y - view.height / 2 / view.scale));
    const double south = std::max(-90.0, latitudeAt(view.centre.y + view.height / 2 / view.scale));
    if (box.north < north || box.south > south) return false;
    for (const double turn : {-360.0, 0.0, 360.0})
        if (box.west <= west + turn && east + turn <= box.east) return true;
    return false;
}

double pixelDegrees(const MapView& view) { return kAreaHeight / view.scale; }

}  // namespace qm4
