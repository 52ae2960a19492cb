// Import Shape and Export Trace.
#include "ui/shape_commands.h"

#include <QDir>
#include <QProgressDialog>

#include "capture/point_lines.h"
#include "geo/shape_import.h"
#include "geo/trace_export.h"
#include "model/area_grid.h"
#include "model/numbers.h"
#include "project/project_file.h"
#include "ui/import_dialog.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

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

ShapeCommands::ShapeCommands(PlatformServices& services, ProjectDocument& document,
                             WorkingFolder& folder, const PictureView& picture, QWidget& window)
    : QObject(&window),
      services_(services),
      document_(document),
      folder_(folder),
      picture_(picture),
      window_(window) {}

void ShapeCommands::showError(const QString& what, const QString& cause) {
    services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                          what + QStringLiteral("\n\n") + cause);
}

QString ShapeCommands::areaDescription() const {
    const qm4::ProjectState& s = document_.state();
    const qm4::AreaEdges edges = qm4::areaEdges(s);
    return tr("cell %1, %2, area %3, %4 (North %5, South %6, West %7, East %8)")
        .arg(qs(s.txtcellx), qs(s.txtcelly), qs(s.txtareax), qs(s.txtareay),
             qs(qm4::decimalText(edges.north)), qs(qm4::decimalText(edges.south)),
             qs(qm4::decimalText(edges.west)), qs(qm4::decimalText(edges.east)));
}

void ShapeCommands::importShape() {
    const qm4::ProjectState& s = document_.state();
    if (s.txtcellx.empty() || s.txtcelly.empty() || s.txtareax.empty() || s.txtareay.empty()) {
        services_.showMessage(&window_, QMessageBox::Information, kTitle,
                              tr("Calculate the area first: a shape is imported into the area "
                                 "that the cell and area boxes name, and they are empty."));
        return;
    }
    const QString path =
        services_.openFileName(&window_, tr("Import Shape"), kShapeFilters, folder_.path());
    if (path.isEmpty()) return;
    const qm4::AreaEdges area = qm4::areaEdges(s);
    // A country-sized file takes a moment: Cancel stays at hand.
    QProgressDialog progress(tr("Reading %1...").arg(path), tr("Cancel"), 0, 1000, &window_);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(700);
    const auto list = qm4::geo::listFeatures(path.toStdString(), area, [&](double part) {
        progress.setValue(static_cast<int>(part * 1000));
        return !progress.wasCanceled();
    });
    progress.reset();
    if (!list) {
        if (list.error().message != "Cancelled.")
            showError(tr("The shape could not be imported."), qs(list.error().message));
        return;
    }
    if (list->features.empty()) {
        showError(
            tr("The shape could not be imported."),
            tr("No feature of \"%1\" meets ").arg(path) + areaDescription() + QLatin1Char('.'));
        return;
    }
    ImportShapeDialog dialog(path, *list, area, picture_.picture(), &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<QPoint> points = dialog.points();
    if (points.size() > kMostPoints) {
        showError(tr("The shape could not be imported."),
                  tr("It has %1 points after simplification; a source takes at most %2. "
                     "Simplify it more.")
                      .arg(points.size())
                      .arg(kMostPoints));
        return;
    }
    // The points go through the capture exactly as presses on those pixels
    // of a 256-pixel view, in the current mode and with the Send NO Data
    // boxes, as one step to undo.
    document_.importPoints(points);
    document_.report(tr("Imported %1 points.").arg(points.size()));
}

void ShapeCommands::exportTrace() {
    const qm4::ProjectState& s = document_.state();
    if (s.lstLWM.lines.empty() && s.lstVTP.lines.empty()) {
        services_.showMessage(&window_, QMessageBox::Information, kTitle,
                              tr("There is nothing to export: both point lists are empty."));
        return;
    }
    const QString proposal =
        QDir(folder_.path()).filePath(qs(qm4::safeFileName(s.txtprojectname)) + ".geojson");
    const QString path = services_.saveFileName(&window_, tr("Export Trace"), kTraceFilter,
                                                QDir::toNativeSeparators(proposal));
    if (path.isEmpty()) return;
    const qm4::AreaEdges area = qm4::areaEdges(s);
    const QPoint areaNumbers = document_.area();
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
        qm4::geo::exportTrace(path.toStdString(), places(s.lstLWM.lines, true),
                              places(s.lstVTP.lines, false), qm4::VtpLinePoly(s) == 0,
                              {s.txtprojectname, qm4::LwmMask(s) == 1 ? "Land" : "Water",
                               s.txtaltitude, s.cbovtptype, s.cbolayer});
    if (!written) {
        showError(tr("The trace could not be exported."), qs(written.error().message));
        return;
    }
    document_.report(tr("Exported the trace to %1.").arg(path));
}
