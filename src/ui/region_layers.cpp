// Painting the region map's layers. Only what the view shows is drawn, a
// trace's points that fall on one widget pixel are drawn as one, and a
// batch is drawn in tiles kept while the scale stays, so that a frame costs
// what the view shows, not what the layers hold.
#include "ui/region_layers.h"

#include <QPainter>
#include <array>
#include <cmath>

namespace {

const QColor kGround(196, 200, 204);
const QColor kAreaLine(255, 255, 255, 70);
const QColor kCellLine(255, 255, 255, 200);
const QColor kOutline(255, 90, 40);
// The picture's trace colours, so that a trace looks the same on both.
const std::array<QColor, 2> kTraceColours = {QColor(255, 214, 0), QColor(0, 214, 255)};
const QColor kCurrentArea(255, 40, 200);
const QColor kSelection(80, 160, 255);  // the areas Make Projects for Selection makes
// Below this many pixels an area's lines would hide the imagery.
constexpr double kSmallestAreaWithLines = 6;
// Lines of one pixel are drawn on the painter's fast path, without the
// stroker that wider ones need: a batch's thousands of them stay cheap.
constexpr double kLineWidth = 1;
constexpr double kSmallestSmoothedArea = 64;
constexpr int kTile = 128;
constexpr std::size_t kSegmentsACall = 4096;

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
    painter.setPen(QPen(kOutline, kLineWidth));
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

// The areas of each outcome in one call: a call costs more than an area.
void drawOutcomes(QPainter& painter, const qm4::MapView& view, const qm4::BatchAreas& areas) {
    const QRectF shown(0, 0, view.width, view.height);
    std::array<std::vector<QRectF>, 4> squares;
    for (const qm4::BatchArea& area : areas.all()) {
        const QRectF square = areaSquare(view, area.area);
        if (square.intersects(shown)) squares[int(area.outcome)].push_back(square);
    }
    painter.setPen(Qt::NoPen);
    for (int outcome = 0; outcome < 4; ++outcome) {
        painter.setBrush(outcomeColour(qm4::AreaOutcome(outcome)));
        painter.drawRects(squares[outcome].data(), int(squares[outcome].size()));
    }
}

// One list of each trace, the whole batch in one colour, a few thousand
// segments a call: a call costs more than a segment, and the segments of a
// whole batch would take megabytes. A point is drawn on the middle of the
// widget pixel it falls in, and only where it reaches another pixel than
// the one before.
void drawTraces(QPainter& painter, const qm4::MapView& view,
                const std::vector<const qm4::AreaTrace*>& traces, bool lwm) {
    const QRectF shown(0, 0, view.width, view.height);
    // Widget positions in 1/65536 pixel: whole numbers, which a shift floors.
    constexpr int kFraction = 16;
    const auto fixed = [](double v) { return std::llround(std::ldexp(v, kFraction)); };
    const long long step = fixed(view.scale / qm4::kAreaPixelSteps);
    painter.setPen(QPen(kTraceColours[lwm ? 0 : 1], kLineWidth));
    std::vector<QLineF> segments;
    const auto draw = [&] {
        painter.drawLines(segments.data(), static_cast<int>(segments.size()));
        segments.clear();
    };
    for (const qm4::AreaTrace* trace : traces) {
        const QRectF square = areaSquare(view, trace->area);
        if (!square.intersects(shown)) continue;
        const long long left = fixed(square.left()), top = fixed(square.top());
        const std::size_t first = segments.size();
        std::optional<QPointF> last;
        for (const qm4::TracePoint& point : lwm ? trace->lwm : trace->vtp) {
            const QPointF here(double((left + point.x * step) >> kFraction) + 0.5,
                               double((top + point.y * step) >> kFraction) + 0.5);
            if (last && *last != here) segments.emplace_back(*last, here);
            if (!last || *last != here) last = here;
        }
        if ((lwm || trace->vtpClosed) && segments.size() - first > 1)
            segments.emplace_back(*last, segments[first].p1());
        if (segments.size() >= kSegmentsACall) draw();
    }
    draw();
}

void drawBatch(QPainter& painter, const qm4::MapView& view, const qm4::BatchAreas& areas,
               const std::vector<const qm4::AreaTrace*>& traces) {
    drawOutcomes(painter, view, areas);
    // Smoothing shows only when an area is large enough to see a trace's shape.
    painter.setRenderHint(QPainter::Antialiasing, view.scale >= kSmallestSmoothedArea);
    for (const bool lwm : {true, false}) drawTraces(painter, view, traces, lwm);
}

}  // namespace

void BatchTiles::clear() {
    tiles_.clear();
    tolerance_ = 0;
}

const std::vector<const qm4::AreaTrace*>& BatchTiles::tracesFor(double scale,
                                                                const RegionLayers& layers) {
    // The picture pixels a widget pixel shows, down to a power of two, so that
    // the thinned traces serve every scale up to twice this one.
    const int tolerance =
        scale >= qm4::kAreaPixelSteps ? 1 : 1 << int(std::log2(qm4::kAreaPixelSteps / scale));
    if (tolerance == tolerance_) return traces_;
    tolerance_ = tolerance;
    // Below four, few areas show and a thinned copy would cost more memory
    // than it saves time: the painting passes over points on one pixel anyway.
    const bool thin = tolerance >= 4;
    thinned_.clear();
    if (thin)
        for (const qm4::AreaTrace& trace : layers.batchTraces)
            thinned_.push_back(qm4::thinned(trace, tolerance));
    traces_.clear();
    for (const qm4::AreaTrace& trace : thin ? thinned_ : layers.batchTraces)
        traces_.push_back(&trace);
    return traces_;
}

void BatchTiles::paint(QPainter& painter, const qm4::MapView& view, const RegionLayers& layers) {
    const bool steady = view.scale == scale_;
    if (!steady) tiles_.clear();
    scale_ = view.scale;
    if (layers.outcomes.all().empty() && layers.batchTraces.empty()) return;
    const std::vector<const qm4::AreaTrace*>& traces = tracesFor(view.scale, layers);
    if (!steady) return drawBatch(painter, view, layers.outcomes, traces);
    // The view's north-west corner in the map's pixels at this scale.
    const double left = view.centre.x * view.scale - view.width / 2;
    const double top = view.centre.y * view.scale - view.height / 2;
    decltype(tiles_) shown;
    for (auto row = std::llround(std::floor(top / kTile)); row * kTile < top + view.height; ++row)
        for (auto column = std::llround(std::floor(left / kTile));
             column * kTile < left + view.width; ++column) {
            const auto found = tiles_.find({column, row});
            QImage tile = found != tiles_.end() ? std::move(found->second) : QImage();
            if (tile.isNull()) {
                // The tile's part of the map, from column * kTile pixels east
                // of longitude -180 and row * kTile south of latitude 90.
                tile = QImage(kTile, kTile, QImage::Format_ARGB32_Premultiplied);
                tile.fill(Qt::transparent);
                QPainter onTile(&tile);
                drawBatch(onTile,
                          {{(column + 0.5) * kTile / view.scale, (row + 0.5) * kTile / view.scale},
                           view.scale,
                           kTile,
                           kTile},
                          layers.outcomes, traces);
            }
            painter.drawImage(QPointF(column * kTile - left, row * kTile - top), tile);
            shown.emplace(std::pair(column, row), std::move(tile));
        }
    tiles_ = std::move(shown);
}

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

void paintRegion(QPainter& painter, const qm4::MapView& view, const RegionLayers& layers,
                 BatchTiles& batch) {
    painter.fillRect(QRectF(0, 0, view.width, view.height), kGround);
    drawImagery(painter, view, layers.imagery);
    painter.setRenderHint(QPainter::Antialiasing);
    drawOutlines(painter, view, layers.outlines);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawGrid(painter, view);
    batch.paint(painter, view, layers);
    painter.setRenderHint(QPainter::Antialiasing);
    if (layers.projectTrace)
        for (const bool lwm : {true, false})
            drawTraces(painter, view, {&*layers.projectTrace}, lwm);
    if (layers.currentArea) {
        painter.setPen(QPen(kCurrentArea, 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(areaSquare(view, *layers.currentArea));
    }
    if (const auto& range = layers.selection) {
        const QRectF first = areaSquare(view, qm4::areaOf(range->firstColumn, range->firstRow));
        painter.setPen(QPen(kSelection, 2, Qt::DashLine));
        painter.drawRect(first.adjusted(0, 0, (range->lastColumn - range->firstColumn) * view.scale,
                                        (range->lastRow - range->firstRow) * view.scale));
    }
}
