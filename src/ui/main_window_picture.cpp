// The picture panel: loading the area's picture, and the mouse over it.
#include <QStatusBar>

#include "capture/capture.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"

void MainWindow::cmdload_Click() {
    const QString path = services_->openFileName(this, QString(), kPictureFilter, QString());
    if (path.isEmpty()) return;
    const QImage picture = loadPicture(path);
    if (picture.isNull()) return;
    Picture1->setPicture(picture);
    picturePath_ = path;
    noteChange();
}

qm4::FillXYErrorHandler MainWindow::showFillXYError() {
    return [this](const qm4::FillXYError& error) {
        services_->showMessage(this, QMessageBox::Critical, qs(error.title), qs(error.message));
    };
}

void MainWindow::Picture1_MouseMove(QPointF position, QSizeF clientSize) {
    readFields();
    qm4::Picture1_MouseMove(
        state_, static_cast<float>(position.x()), static_cast<float>(position.y()),
        qm4::ClientSize{clientSize.width(), clientSize.height()}, showFillXYError());
    writeFields();
}

void MainWindow::Picture1_MouseDown(QPointF position, QSizeF clientSize) {
    readFields();
    const qm4::PressResult appended = qm4::Picture1_MouseDown(
        state_, static_cast<float>(position.x()), static_cast<float>(position.y()),
        qm4::ClientSize{clientSize.width(), clientSize.height()}, showFillXYError());
    appendNewLines(lwmSide_, appended.lwmAppended);
    appendNewLines(vtpSide_, appended.vtpAppended);
    writeFields();
    noteChange();
}
