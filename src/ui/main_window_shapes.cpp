// The window's GIS room: a shape imported from a vector file as the presses
// a careful author would have made, and the trace exported for a GIS.
#include <QDir>
#include <QProgressDialog>
#include <QStatusBar>

#include "capture/capture.h"
#include "capture/point_lines.h"
#include "geo/shape_import.h"
#include "geo/trace_export.h"
#include "model/area_grid.h"
#include "model/numbers.h"
#include "project/project_file.h"
#include "ui/import_dialog.h"
#include "ui/list_step.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"

namespace {

// The most points a source takes: its point counts go up to 255.
constexpr std::size_t kMostPoints = 255;

const QList<FileFilter> kShapeFilters{
    {QStringLiteral("Vector Files (*.geojson *.json *.kml *.gpx *.shp *.gpkg *.osm *.pbf *.csv)"),
     QStringLiteral("*.geojson;*.json;*.kml;*.gpx;*.shp;*.gpkg;*.osm;*.pbf;*.csv")},
    {QStringLiteral("All Files (*)"), QStringLiteral("*")}};
const FileFilter kTraceFilter{QStringLiteral("GeoJSON or KML (*.geojson *.kml)"),
                              QStringLiteral("*.geojson;*.kml")};

}  // namespace

// "cell 123, 120, area 5, 28 (North 47.5048828125, South ..., West ..., East ...)"
QString MainWindow::areaDescription() const {
    const qm4::AreaEdges edges = qm4::areaEdges(state_);
    return QStringLiteral("cell %1, %2, area %3, %4 (North %5, South %6, West %7, East %8)")
        .arg(qs(state_.txtcellx), qs(state_.txtcelly), qs(state_.txtareax), qs(state_.txtareay),
             qs(qm4::decimalText(edges.north)), qs(qm4::decimalText(edges.south)),
             qs(qm4::decimalText(edges.west)), qs(qm4::decimalText(edges.east)));
}

void MainWindow::mnuimportshape_Click() {
    readFields();
    if (state_.txtcellx.empty() || state_.txtcelly.empty() || state_.txtareax.empty() ||
        state_.txtareay.empty()) {
        services_->showMessage(this, QMessageBox::Information, kTitle,
                               QStringLiteral("Calculate the area first: a shape is imported "
                                              "into the area that the cell and area boxes name, "
                                              "and they are empty."));
        return;
    }
    const QString path = services_->openFileName(this, QStringLiteral("Import Shape"),
                                                 kShapeFilters, workingFolder());
    if (path.isEmpty()) return;
    readFields();
    const qm4::AreaEdges area = qm4::areaEdges(state_);
    // A country-sized file takes a moment: Cancel stays at hand.
    QProgressDialog progress(QStringLiteral("Reading %1...").arg(path), QStringLiteral("Cancel"), 0,
                             1000, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(700);
    const auto list = qm4::geo::listFeatures(path.toStdString(), area, [&](double part) {
        progress.setValue(static_cast<int>(part * 1000));
        return !progress.wasCanceled();
    });
    progress.reset();
    if (!list) {
        if (list.error().message != "Cancelled.")
            showError(QStringLiteral("The shape could not be imported."), list.error().message);
        return;
    }
    if (list->features.empty()) {
        showError(QStringLiteral("The shape could not be imported."),
                  (QStringLiteral("No feature of \"%1\" meets ").arg(path) + areaDescription() +
                   QLatin1Char('.'))
                      .toStdString());
        return;
    }
    ImportShapeDialog dialog(path, *list, area, Picture1->picture(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    importPoints(dialog.points());
}

// The points go through the capture exactly as presses on those pixels of
// a 256-pixel view, in the current mode and with the Send NO Data boxes, as
// one step to undo.
void MainWindow::importPoints(const std::vector<QPoint>& points) {
    if (points.size() > kMostPoints) {
        showError(QStringLiteral("The shape could not be imported."),
                  "It has " + std::to_string(points.size()) +
                      " points after simplification; a source takes at most " +
                      std::to_string(kMostPoints) + ". Simplify it more.");
        return;
    }
    readFields();
    const CaptureTexts before = captureTextsOf(state_);
    const std::size_t lwmCount = state_.lstLWM.lines.size(), vtpCount = state_.lstVTP.lines.size();
    for (const QPoint& p : points)
        qm4::Picture1_MouseDown(state_, static_cast<float>(p.x()), static_cast<float>(p.y()),
                                qm4::ClientSize{256, 256}, showFillXYError());
    std::vector<ListSplice> splices = appendedSince(lwmCount, vtpCount);
    writeFields();
    if (!splices.empty()) pushStep(QStringLiteral("Import Shape"), std::move(splices), before);
    noteChange();
    statusBar()->showMessage(QStringLiteral("Imported %1 points.").arg(points.size()));
}

void MainWindow::mnuexporttrace_Click() {
    readFields();
    if (state_.lstLWM.lines.empty() && state_.lstVTP.lines.empty()) {
        services_->showMessage(this, QMessageBox::Information, kTitle,
                               QStringLiteral("There is nothing to export: both point lists are "
                                              "empty."));
        return;
    }
    const QString proposal =
        QDir(workingFolder())
            .filePath(qs(qm4::safeFileName(state_.txtprojectname)) + QStringLiteral(".geojson"));
    const QString path = services_->saveFileName(this, QStringLiteral("Export Trace"), kTraceFilter,
                                                 QDir::toNativeSeparators(proposal));
    if (path.isEmpty()) return;
    const qm4::AreaEdges area = qm4::areaEdges(state_);
    const QPoint areaNumbers = currentArea();
    const auto places = [&](const std::vector<std::string>& lines, bool lwm) {
        std::vector<qm4::LatLon> found;
        for (const std::string& line : lines) {
            const auto point = lwm ? qm4::lwmPointOf(line)
                                   : qm4::vtpPointOf(line, areaNumbers.x(), areaNumbers.y());
            if (point) found.push_back(qm4::pixelToLatLon(area, point->x, point->y));
        }
        return found;
    };
    const qm4::Status written =
        qm4::geo::exportTrace(path.toStdString(), places(state_.lstLWM.lines, true),
                              places(state_.lstVTP.lines, false), qm4::VtpLinePoly(state_) == 0,
                              {state_.txtprojectname, qm4::LwmMask(state_) == 1 ? "Land" : "Water",
                               state_.txtaltitude, state_.cbovtptype, state_.cbolayer});
    if (!written) {
        showError(QStringLiteral("The trace could not be exported."), written.error().message);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Exported the trace to %1.").arg(path));
}
