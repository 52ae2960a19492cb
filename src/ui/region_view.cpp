// The region map's widget: its view, painting and input.
#include "ui/region_view.h"

#include <QKeyEvent>
#include <QPainter>
#include <cmath>

#include "ui/window_common.h"

namespace {
// One notch of the wheel, or one + or -, zooms by the square root of two.
constexpr double kZoomStep = 1.4142135623730951;
// An arrow key moves the map by an eighth of the view.
constexpr double kKeyPan = 0.125;
}  // namespace

RegionView::RegionView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmRegion"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::OpenHandCursor);
    setMinimumSize(128, 128);
}

void RegionView::setView(const qm4::MapView& view) {
    qm4::MapView next = view;
    next.width = width();
    next.height = height();
    change(shown_ ? qm4::held(next) : next);
}

void RegionView::centreOn(const qm4::AreaNumbers& area) {
    qm4::MapView next = view_;
    next.centre = {qm4::columnOf(area) + 0.5, qm4::rowOf(area) + 0.5};
    setView(next);
}

bool RegionView::showsWhole(const qm4::AreaNumbers& area) const {
    const qm4::WidgetPoint corner =
        qm4::widgetPointOf(view_, {double(qm4::columnOf(area)), double(qm4::rowOf(area))});
    return corner.x >= 0 && corner.y >= 0 && corner.x + view_.scale <= view_.width &&
           corner.y + view_.scale <= view_.height;
}

void RegionView::setBatch(qm4::BatchAreas areas, std::vector<qm4::AreaTrace> traces) {
    layers_.outcomes = std::move(areas);
    layers_.batchTraces = std::move(traces);
    batchTiles_.clear();
    update();
}

void RegionView::change(const qm4::MapView& view) {
    view_ = view;
    update();
    emit viewChanged();
}

void RegionView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintRegion(painter, view_, layers_, batchTiles_);
}

void RegionView::resizeEvent(QResizeEvent*) {
    qm4::MapView next = view_;
    // A map that shows a whole cell goes on showing one; held() takes the
    // scale up to the new size's whole cell.
    if (view_.scale <= qm4::smallestScale(view_)) next.scale = 0;
    setView(next);
}

void RegionView::showEvent(QShowEvent*) {
    shown_ = true;
    setView(view_);
}

void RegionView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    const QPointF at = event->position();
    change(qm4::zoomedAbout(view_, at.x(), at.y(), std::pow(kZoomStep, notches)));
    describe(at);
}

void RegionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF at = event->position();
    if (event->modifiers() & Qt::ShiftModifier) {
        selectFrom_ = qm4::mapPointAt(view_, at.x(), at.y());
        return select(at);
    }
    dragFrom_ = at;
    setCursor(Qt::ClosedHandCursor);
}

// The areas from where the Shift drag began to the mouse.
void RegionView::select(QPointF to) {
    layers_.selection = qm4::areasBetween(*selectFrom_, qm4::mapPointAt(view_, to.x(), to.y()));
    update();
}

void RegionView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (selectFrom_ && (event->buttons() & Qt::LeftButton)) select(at);
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        const QPointF by = at - *dragFrom_;
        dragFrom_ = at;
        change(qm4::panned(view_, by.x(), by.y()));
    }
    describe(at);
}

void RegionView::mouseReleaseEvent(QMouseEvent*) {
    selectFrom_.reset();
    dragFrom_.reset();
    setCursor(Qt::OpenHandCursor);
}

void RegionView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (const auto area = qm4::areaAt(qm4::mapPointAt(view_, at.x(), at.y())))
        emit areaChosen(*area);
}

void RegionView::keyPressEvent(QKeyEvent* event) {
    const double across = view_.width * kKeyPan, down = view_.height * kKeyPan;
    const double middleX = view_.width / 2, middleY = view_.height / 2;
    switch (event->key()) {
        case Qt::Key_Left:
            return change(qm4::panned(view_, across, 0));
        case Qt::Key_Right:
            return change(qm4::panned(view_, -across, 0));
        case Qt::Key_Up:
            return change(qm4::panned(view_, 0, down));
        case Qt::Key_Down:
            return change(qm4::panned(view_, 0, -down));
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return change(qm4::zoomedAbout(view_, middleX, middleY, kZoomStep));
        case Qt::Key_Minus:
            return change(qm4::zoomedAbout(view_, middleX, middleY, 1 / kZoomStep));
        case Qt::Key_Home:
            if (layers_.currentArea) return centreOn(*layers_.currentArea);
            break;
    }
    QWidget::keyPressEvent(event);
}

void RegionView::leaveEvent(QEvent*) { emit hovered(QString()); }

void RegionView::describe(QPointF position) {
    emit hovered(qs(qm4::placeText(qm4::mapPointAt(view_, position.x(), position.y()))));
}
