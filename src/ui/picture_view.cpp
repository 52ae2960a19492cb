// The area view: drawing and mouse reports.
#include "ui/picture_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kViewSide = 256;
const QColor kViewGround(224, 224, 224);
}  // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setFixedSize(kViewSide, kViewSide);
    setMouseTracking(true);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, kViewGround);
    setPalette(ground);
    setAutoFillBackground(true);
    setCursor(Qt::CrossCursor);
}

void PictureView::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PictureView::clearPicture() {
    picture_ = QImage();
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_.isNull()) painter.drawImage(QPoint(0, 0), picture_);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position(), clientSize());
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->position(), clientSize());
}

QSizeF PictureView::clientSize() const { return QSizeF(width(), height()); }
