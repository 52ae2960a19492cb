// The area view: the picture, the trace over it, zoom and mouse reports.
#include "ui/picture_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kViewSide = 256;
const QColor kViewGround(224, 224, 224);
// Bright lines on a dark halo read on light and dark pictures alike.
const std::array<QColor, 2> kTraceColours = {QColor(255, 214, 0), QColor(0, 214, 255)};
const QColor kHalo(0, 0, 0, 170);
const QColor kSelected(255, 40, 200);
constexpr double kDimmedOpacity = 0.35;
}  // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setFixedSize(kViewSide, kViewSide);
    setMouseTracking(true);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, kViewGround);
    setPalette(ground);
    setAutoFillBackground(true);
    setCursor(Qt::CrossCursor);
    lines_[Lwm].closed = true;  // a mask is always a polygon
}

void PictureView::setPicture(const QImage& picture) {
    picture_ = picture;
    detail_ = QImage();
    update();
}

void PictureView::clearPicture() {
    picture_ = QImage();
    detail_ = QImage();
    update();
}

void PictureView::setDetail(const QImage& detail) {
    detail_ = detail;
    update();
}

void PictureView::setZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 4);
    setFixedSize(kViewSide * zoom_, kViewSide * zoom_);
    layerStale_ = true;
    update();
}

void PictureView::setTraceVisible(bool visible) {
    traceVisible_ = visible;
    update();
}

void PictureView::spliceTrace(Trace trace, int at, int removed,
                              const std::vector<Point>& inserted) {
    std::vector<Point>& points = lines_[trace].points;
    const bool appended = removed == 0 && at == static_cast<int>(points.size());
    points.erase(points.begin() + at, points.begin() + at + removed);
    points.insert(points.begin() + at, inserted.begin(), inserted.end());
    if (appended && !layerStale_ && !layer_.isNull()) {
        QPainter painter(&layer_);
        drawSegments(painter, trace, static_cast<std::size_t>(at));
    } else {
        layerStale_ = true;
    }
    update();
}

void PictureView::setTrace(Trace trace, std::vector<Point> points) {
    lines_[trace].points = std::move(points);
    layerStale_ = true;
    update();
}

void PictureView::setTraceSelection(Trace trace, int index) {
    lines_[trace].selected = index;
    update();
}

void PictureView::setTraceClosed(Trace trace, bool closed) {
    if (lines_[trace].closed == closed) return;
    lines_[trace].closed = closed;
    update();
}

void PictureView::setTraceDimmed(bool dimmed) {
    traceDimmed_ = dimmed;
    update();
}

QPointF PictureView::centre(QPoint pixel) const {
    return QPointF((pixel.x() + 0.5) * zoom_, (pixel.y() + 0.5) * zoom_);
}

// The segments that end at the points from index `from` on, each from the
// point before it (lines that are no points are passed over).
void PictureView::drawSegments(QPainter& painter, Trace trace, std::size_t from) {
    const std::vector<Point>& points = lines_[trace].points;
    std::optional<QPointF> previous;
    for (std::size_t i = from; i-- > 0;) {
        if (points[i]) {
            previous = centre(*points[i]);
            break;
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = from; i < points.size(); ++i) {
        if (!points[i]) continue;
        const QPointF here = centre(*points[i]);
        for (const auto& [colour, width] : {std::pair{kHalo, 3.5}, {kTraceColours[trace], 1.5}}) {
            painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
            if (previous) painter.drawLine(*previous, here);
            painter.setBrush(colour);
            painter.drawRect(QRectF(here - QPointF(1.5, 1.5), QSizeF(3, 3)));
        }
        previous = here;
    }
}

void PictureView::redrawLayer() {
    layer_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    layer_.fill(Qt::transparent);
    QPainter painter(&layer_);
    for (Trace trace : {Lwm, Vtp}) drawSegments(painter, trace, 0);
    layerStale_ = false;
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!detail_.isNull() && detail_.size() == size())
        painter.drawImage(0, 0, detail_);
    else if (!picture_.isNull())
        painter.drawImage(QRectF(0, 0, picture_.width() * zoom_, picture_.height() * zoom_),
                          picture_);
    if (!traceVisible_) return;
    if (layerStale_ || layer_.size() != size()) redrawLayer();
    painter.setOpacity(traceDimmed_ ? kDimmedOpacity : 1);
    painter.drawImage(0, 0, layer_);
    painter.setRenderHint(QPainter::Antialiasing);
    for (Trace trace : {Lwm, Vtp}) {
        const Line& line = lines_[trace];
        const auto first = std::find_if(line.points.begin(), line.points.end(),
                                        [](const Point& p) { return p.has_value(); });
        const auto last = std::find_if(line.points.rbegin(), line.points.rend(),
                                       [](const Point& p) { return p.has_value(); });
        if (first == line.points.end()) continue;
        if (line.closed && first != last.base() - 1) {
            painter.setPen(QPen(kTraceColours[trace], 1.5, Qt::DashLine));
            painter.drawLine(centre(**last), centre(**first));
        }
        // The last point is ringed, the selected line's point marked.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kHalo, 3));
        painter.drawEllipse(centre(**last), 5, 5);
        painter.setPen(QPen(kTraceColours[trace], 1.5));
        painter.drawEllipse(centre(**last), 5, 5);
        if (line.selected >= 0 && line.selected < static_cast<int>(line.points.size()) &&
            line.points[line.selected]) {
            painter.setPen(QPen(kSelected, 2));
            painter.drawRect(
                QRectF(centre(*line.points[line.selected]) - QPointF(4, 4), QSizeF(8, 8)));
        }
    }
}

// A press anywhere on a zoomed picture pixel is a press on that pixel: the
// position goes to the pixel's corner, which the capture's scaling by the
// client size turns into exactly that pixel.
QPointF PictureView::reported(QPointF position) const {
    if (zoom_ == 1) return position;
    return QPointF(std::floor(position.x() / zoom_) * zoom_,
                   std::floor(position.y() / zoom_) * zoom_);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    if (tool_) tool_->mouseMoved(reported(event->position()), clientSize());
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    if (tool_) tool_->mousePressed(reported(event->position()), clientSize());
}

void PictureView::leaveEvent(QEvent*) {
    if (tool_) tool_->mouseLeft();
}

QSizeF PictureView::clientSize() const { return QSizeF(width(), height()); }
