// The status bar's own painting: the panel, the frames of its labels and
// the message, elided to the room it has.
#include "ui/status_line.h"

#include <QPainter>
#include <QSizeGrip>
#include <QStyleOption>

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
    connect(this, &QStatusBar::messageChanged, this, &QWidget::setToolTip);
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOption panel;
    panel.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &panel, &painter, this);
    const QString message = currentMessage();
    // The message takes the room up to the labels (the window has no other
    // items on the bar), which keep their frames.
    int right = width() - 12;
    for (QWidget* label : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!label->isVisible() || qobject_cast<QSizeGrip*>(label)) continue;
        QStyleOption frame;
        frame.rect = label->geometry().adjusted(-2, -1, 2, 1);
        frame.palette = palette();
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, label);
        right = std::min(right, label->x() - 6);
    }
    if (message.isEmpty()) return;
    const QRect room(6, 0, right - 6, height());
    painter.setPen(palette().windowText().color());
    painter.drawText(room, Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(message, Qt::ElideRight, room.width()));
}
