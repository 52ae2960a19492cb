// The picture panel: loading the area's picture, the mouse over it and the
// position under it, zoom and the trace, and going to a typed or pasted
// position.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QScrollArea>
#include <QStatusBar>

#include "capture/capture.h"
#include "model/area_grid.h"
#include "model/numbers.h"
#include "model/position_text.h"
#include "ui/list_step.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"

void MainWindow::cmdload_Click() {
    const QString path = services_->openFileName(this, QString(), kPictureFilters, QString());
    if (path.isEmpty()) return;
    const QImage picture = loadPicture(path);
    if (picture.isNull()) {
        statusBar()->showMessage(QStringLiteral("%1 is not a picture that can be shown.")
                                     .arg(QDir::toNativeSeparators(path)));
        return;
    }
    Picture1->setPicture(picture);
    if (picture.size() != QSize(256, 256))
        statusBar()->showMessage(
            QStringLiteral("The picture is %1 x %2 pixels, not 256 x 256; it is drawn unscaled "
                           "from the top-left corner.")
                .arg(picture.width())
                .arg(picture.height()));
    else
        statusBar()->clearMessage();
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
    showMousePosition();
}

// The pixel and VTP coordinates under the mouse, and the place on the globe
// they stand for.
void MainWindow::showMousePosition() {
    const double x = qm4::leadingNumber(state_.lblx), y = qm4::leadingNumber(state_.lbly);
    const qm4::LatLon place = qm4::pixelToLatLon(qm4::areaEdges(state_), x, y);
    statusBar()->showMessage(QStringLiteral("LWM %1, %2    VTP %3, %4    %5  %6")
                                 .arg(x)
                                 .arg(y)
                                 .arg(qm4::leadingNumber(state_.lblvtp2x))
                                 .arg(qm4::leadingNumber(state_.lblvtp2y))
                                 .arg(qs(qm4::degreesMinutesText(place.lat, true)),
                                      qs(qm4::degreesMinutesText(place.lon, false))));
}

void MainWindow::mnushowtrace_Click(bool shown) { Picture1->setTraceVisible(shown); }
void MainWindow::mnuzoomin_Click() { setZoom(Picture1->zoom() + 1); }
void MainWindow::mnuzoomout_Click() { setZoom(Picture1->zoom() - 1); }
void MainWindow::mnuzoomactual_Click() { setZoom(1); }

void MainWindow::setZoom(int zoom) {
    Picture1->setZoom(zoom);
    const int frame = 2 * pictureScroll_->frameWidth();
    pictureScroll_->setMaximumSize(Picture1->size() + QSize(frame, frame));
    mnuzoomin->setEnabled(Picture1->zoom() < 4);
    mnuzoomout->setEnabled(Picture1->zoom() > 1);
}

void MainWindow::mnupasteposition_Click() { goToPosition(QGuiApplication::clipboard()->text()); }

void MainWindow::mnugotoposition_Click() {
    const QString text = services_->inputText(
        this, QStringLiteral("Go to Position"),
        QStringLiteral("Latitude and longitude, for example 47.5, -122.258333 or "
                       "N47 30.000 W122 15.500 or 47°30'00\"N 122°15'30\"W:"),
        QString());
    if (!text.isEmpty()) goToPosition(text);
}

// The position goes into the four degree and minute boxes, then Calculate
// runs, as if the author had typed it.
void MainWindow::goToPosition(const QString& text) {
    const auto place = qm4::parsePosition(text.toStdString());
    if (!place) {
        services_->showMessage(this, QMessageBox::Warning, kTitle,
                               QStringLiteral("The position \"%1\" was not understood: %2.")
                                   .arg(text.trimmed(), qs(place.error().message)));
        return;
    }
    readFields();
    qm4::writePosition(state_, *place);
    writeFields();
    cmdcalculate_Click();
}

void MainWindow::Picture1_MouseDown(QPointF position, QSizeF clientSize) {
    readFields();
    const CaptureTexts before = captureTextsOf(state_);
    const std::size_t lwmCount = state_.lstLWM.lines.size(), vtpCount = state_.lstVTP.lines.size();
    qm4::Picture1_MouseDown(
        state_, static_cast<float>(position.x()), static_cast<float>(position.y()),
        qm4::ClientSize{clientSize.width(), clientSize.height()}, showFillXYError());
    std::vector<ListSplice> splices = appendedSince(lwmCount, vtpCount);
    writeFields();
    if (!splices.empty()) pushStep(QStringLiteral("Press"), std::move(splices), before);
    noteChange();
}
