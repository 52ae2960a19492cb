// Painting the region map's layers. Only what the view shows is drawn, and
// a trace's points that fall on one widget pixel are drawn as one, so that
// a frame costs what the view shows, not what the layers hold.
#include "ui/region_layers.h"

#include <QPainter>
#include <array>
#include <tuple>

namespace {

const QColor kGround(196, 200, 204);
const QColor kAreaLine(255, 255, 255, 70);
const QColor kCellLine(255, 255, 255, 200);
const QColor kOutline(255, 90, 40);
// The picture's trace colours, so that a trace looks the same on both.
const std::array<QColor, 2> kTraceColours = {QColor(255, 214, 0), QColor(0, 214, 255)};
const QColor kCurrentArea(255, 40, 200);
// Below this many pixels an area's lines would hide the imagery.
constexpr double kSmallestAreaWithLines = 6;

QPointF at(const qm4::MapView& view, double x, double y) {
    return {(x - view.centre.x) * view.scale + view.width / 2,
            (y - view.centre.y) * view.scale + view.height / 2};
}

// The area's square on the widget, the copy of its column nearest the middle.
QRectF areaSquare(const qm4::MapView& view, const qm4::AreaNumbers& area) {
    const qm4::WidgetPoint corner =
        qm4::widgetPointOf(view, {double(qm4::columnOf(area)), double(qm4::rowOf(area))});
    return {corner.x, corner.y, view.scale, view.scale};
}

void drawImagery(QPainter& painter, const qm4::MapView& view,
                 const std::vector<MapPicture>& pictures) {
    for (const MapPicture& picture : pictures) {
        const qm4::WidgetPoint corner = qm4::widgetPointOf(view, picture.square.corner);
        const double side = picture.square.side * view.scale;
        painter.drawImage(QRectF(corner.x, corner.y, side, side), picture.image);
    }
}

void drawOutlines(QPainter& painter, const qm4::MapView& view,
                  const std::vector<std::vector<qm4::MapPoint>>& outlines) {
    painter.setPen(QPen(kOutline, 1.5));
    QPolygonF line;
    for (const std::vector<qm4::MapPoint>& places : outlines) {
        const double turn = qm4::nearestTurn(view, places.front().x);
        line.clear();
        for (const qm4::MapPoint& place : places) line << at(view, place.x + turn, place.y);
        painter.drawPolyline(line);
    }
}

void drawGrid(QPainter& painter, const qm4::MapView& view) {
    const qm4::AreaRange shown = qm4::visibleAreas(view);
    const double top = std::max(0.0, at(view, 0, 0).y());
    const double bottom = std::min(view.height, at(view, 0, qm4::kAreaRows).y());
    const bool areas = view.scale >= kSmallestAreaWithLines;
    std::array<std::vector<QLineF>, 2> lines;  // areas', cells'
    for (int column = shown.firstColumn; column <= shown.lastColumn + 1; ++column) {
        const bool cell = column % qm4::kAreasPerCell == 0;
        const double x = at(view, column, 0).x();
        if (cell || areas) lines[cell].emplace_back(x, top, x, bottom);
    }
    for (int row = shown.firstRow; row <= shown.lastRow + 1; ++row) {
        const bool cell = row % qm4::kAreasPerCell == 0;
        const double y = at(view, 0, row).y();
        if (cell || areas) lines[cell].emplace_back(0, y, view.width, y);
    }
    for (const bool cell : {false, true}) {
        painter.setPen(QPen(cell ? kCellLine : kAreaLine, cell ? 2 : 1));
        painter.drawLines(lines[cell].data(), static_cast<int>(lines[cell].size()));
    }
}

void drawOutcomes(QPainter& painter, const qm4::MapView& view, const qm4::BatchAreas& areas) {
    const QRectF shown(0, 0, view.width, view.height);
    for (const qm4::BatchArea& area : areas.all()) {
        const QRectF square = areaSquare(view, area.area);
        if (square.intersects(shown)) painter.fillRect(square, outcomeColour(area.outcome));
    }
}

void drawTrace(QPainter& painter, const qm4::MapView& view, const qm4::AreaTrace& trace) {
    const QRectF square = areaSquare(view, trace.area);
    if (!square.intersects(QRectF(0, 0, view.width, view.height))) return;
    const double step = view.scale / qm4::kAreaPixelSteps;
    QPolygonF line;
    for (const auto& [points, closed, colour] : {std::tuple{&trace.lwm, true, kTraceColours[0]},
                                                 {&trace.vtp, trace.vtpClosed, kTraceColours[1]}}) {
        line.clear();
        for (const qm4::TracePoint& point : *points) {
            const QPointF here = square.topLeft() + QPointF(point.x, point.y) * step;
            if (line.isEmpty() || (line.back() - here).manhattanLength() >= 1) line << here;
        }
        if (closed && line.size() > 2) line << line.front();
        painter.setPen(QPen(colour, 1.5));
        painter.drawPolyline(line);
    }
}

}  // namespace

QColor outcomeColour(qm4::AreaOutcome outcome) {
    switch (outcome) {
        case qm4::AreaOutcome::Written:
            return {60, 200, 90, 110};
        case qm4::AreaOutcome::Dropped:
            return {120, 120, 120, 110};
        case qm4::AreaOutcome::Failed:
            return {230, 40, 40, 130};
        case qm4::AreaOutcome::Changed:
            return {255, 160, 0, 120};
    }
    return {};
}

void paintRegion(QPainter& painter, const qm4::MapView& view, const RegionLayers& layers) {
    painter.fillRect(QRectF(0, 0, view.width, view.height), kGround);
    drawImagery(painter, view, layers.imagery);
    painter.setRenderHint(QPainter::Antialiasing);
    drawOutlines(painter, view, layers.outlines);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawGrid(painter, view);
    drawOutcomes(painter, view, layers.outcomes);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const qm4::AreaTrace& trace : layers.batchTraces) drawTrace(painter, view, trace);
    if (layers.projectTrace) drawTrace(painter, view, *layers.projectTrace);
    if (layers.currentArea) {
        painter.setPen(QPen(kCurrentArea, 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(areaSquare(view, *layers.currentArea));
    }
}
