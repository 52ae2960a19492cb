// The picture panel: loading the area's picture, the mouse over it and the
// position under it, zoom and the trace, and going to a typed or pasted
// position.
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScrollArea>
#include <QStatusBar>

#include "capture/capture.h"
#include "capture/list_editing.h"
#include "model/area_grid.h"
#include "model/calculate.h"
#include "model/numbers.h"
#include "model/position_text.h"
#include "ui/list_step.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"

// The dialog starts where the last picture was chosen, else in the folder of
// the picture shown, else in the working folder.
void MainWindow::cmdload_Click() {
    const QString folder = !pictureFolder_.isEmpty() ? pictureFolder_
                           : !picturePath_.isEmpty() ? QFileInfo(picturePath_).path()
                                                     : workingFolder();
    const QString path =
        services_->openFileName(this, QString(), kPictureFilters, QDir::toNativeSeparators(folder));
    if (path.isEmpty()) return;
    pictureFolder_ = QFileInfo(path).path();
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

namespace {
// Each example on a line of its own, so that none is broken where the box wraps.
const QString kPositionPrompt = QStringLiteral(
    "Latitude and longitude, for example\n47.5, -122.258333\nN47 30.000 W122 15.500\n"
    "47°30'00\"N 122°15'30\"W");
}  // namespace

// A text that is refused comes back in the box to be corrected.
void MainWindow::mnugotoposition_Click() {
    QString text;
    for (;;) {
        text = services_->inputText(this, QStringLiteral("Go to Position"), kPositionPrompt, text);
        if (text.isEmpty()) return;
        const auto place = qm4::parsePosition(text.toStdString());
        if (place) return goToPlace(*place);
        showRefusedPosition(text, place.error().message);
    }
}

void MainWindow::showRefusedPosition(const QString& text, const std::string& reason) {
    services_->showMessage(this, QMessageBox::Warning, kTitle,
                           QStringLiteral("The position \"%1\" was not understood: %2.")
                               .arg(text.trimmed(), qs(reason)));
}

// The position goes into the four degree and minute boxes and Calculate runs,
// as if the author had typed it, as one step to undo.
void MainWindow::goToPosition(const QString& text) {
    const auto place = qm4::parsePosition(text.toStdString());
    if (!place) return showRefusedPosition(text, place.error().message);
    goToPlace(*place);
}

void MainWindow::goToPlace(const qm4::LatLon& place) {
    readFields();
    qm4::ProjectState moved = state_;
    qm4::writePosition(moved, place);
    qm4::calculate(moved);
    if (!mayLeaveArea(moved)) return;
    undoStack_.push(new FieldStep(*this, QStringLiteral("Go to Position"), state_, moved));
}

// Points traced in one area mean nothing in another: with points in the lists
// the author says first whether to go.
bool MainWindow::mayLeaveArea(const qm4::ProjectState& moved) {
    const auto areaOf = [](const qm4::ProjectState& s) {
        if (s.txtcellx.empty() || s.txtcelly.empty() || s.txtareax.empty() || s.txtareay.empty())
            return QStringLiteral("no area yet");
        return QStringLiteral("cell %1, %2, area %3, %4")
            .arg(qs(s.txtcellx), qs(s.txtcelly), qs(s.txtareax), qs(s.txtareay));
    };
    const QString from = areaOf(state_), to = areaOf(moved);
    if (from == to ||
        qm4::pointLineCount(state_.lstLWM, true) + qm4::pointLineCount(state_.lstVTP, false) == 0)
        return true;
    return services_->ask(this, kTitle,
                          QStringLiteral("The lists hold points traced in %1. Go to %2? The "
                                         "points stay in the lists.")
                              .arg(from, to),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
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
