// Import Shape and Export Trace, each a request to the GIS helper.
#include "ui/shape_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTimer>

#include "capture/point_lines.h"
#include "capture/shape_presses.h"
#include "model/area_grid.h"
#include "model/numbers.h"
#include "project/project_file.h"
#include "ui/geo_helper.h"
#include "ui/gis_command.h"
#include "ui/import_dialog.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

namespace {

const FileFilter kTraceFilter{QStringLiteral("GeoJSON or KML (*.geojson *.kml)"),
                              QStringLiteral("*.geojson;*.kml")};

QString text(const QJsonObject& reply, const char* key) {
    return reply.value(QLatin1String(key)).toString();
}

QJsonArray placesJson(const std::vector<std::string>& lines, bool lwm, const qm4::AreaEdges& area,
                      int areaX, int areaY) {
    QJsonArray places;
    for (const std::string& line : lines) {
        const auto point = lwm ? qm4::lwmPointOf(line) : qm4::vtpPointOf(line, areaX, areaY);
        if (!point) continue;
        const qm4::LatLon place = qm4::pixelToLatLon(area, point->x, point->y);
        places.append(QJsonArray{place.lat, place.lon});
    }
    return places;
}

}  // namespace

ShapeCommands::ShapeCommands(PlatformServices& services, ProjectDocument& document,
                             WorkingFolder& folder, GeoHelper& helper, const PictureView& picture,
                             QWidget& window)
    : QObject(&window),
      services_(services),
      document_(document),
      folder_(folder),
      helper_(helper),
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
    helper_.prepare();
    const QString path =
        services_.openFileName(&window_, tr("Import Shape"), kShapeFilters, folder_.path());
    if (path.isEmpty()) return;
    const QString failed = tr("The shape could not be imported.");
    const QJsonObject area = areaJson(s);
    // Every phase, from the listing to the import, holds the window.
    GisCommand command(helper_, document_, window_);
    const QString file = QFileInfo(path).fileName();
    const auto listed = command.request({{QStringLiteral("op"), QStringLiteral("features")},
                                         {QStringLiteral("file"), path},
                                         {QStringLiteral("area"), area}},
                                        tr("Reading %1...").arg(file));
    if (command.cancelled()) return;
    if (!listed) return showError(failed, qs(listed.error().message));
    if (!listed->value(QStringLiteral("ok")).toBool())
        return showError(failed, text(*listed, "error"));
    std::vector<GisFeature> features;
    for (const QJsonValue& value : listed->value(QStringLiteral("features")).toArray()) {
        const QJsonObject f = value.toObject();
        features.push_back({f.value(QStringLiteral("layer")).toInt(), text(f, "layerName"),
                            f.value(QStringLiteral("id")).toInteger(), text(f, "name"),
                            text(f, "geometryType"),
                            f.value(QStringLiteral("pointsInside")).toInt()});
    }
    if (features.empty())
        return showError(failed, tr("No feature of \"%1\" meets ").arg(path) + areaDescription() +
                                     QLatin1Char('.'));
    QStringList notes;
    for (const QJsonValue& note : listed->value(QStringLiteral("notes")).toArray())
        notes << note.toString();

    // A helper that fails (or a Cancel) while the dialog asks for shapes
    // closes the dialog.
    QString helperFailure;
    QDialog* shown = nullptr;
    const ShapeSource shapes = [&](const GisFeature& f,
                                   double tolerance) -> qm4::Expected<GisShape> {
        const auto reply = command.request({{QStringLiteral("op"), QStringLiteral("shape")},
                                            {QStringLiteral("file"), path},
                                            {QStringLiteral("layer"), f.layer},
                                            {QStringLiteral("fid"), f.id},
                                            {QStringLiteral("area"), area},
                                            {QStringLiteral("tolerance"), tolerance}},
                                           tr("Clipping %1 to the area...").arg(f.name));
        if (!reply) {
            helperFailure = qs(reply.error().message);
            if (shown) QTimer::singleShot(0, shown, &QDialog::reject);
            return reply.error();
        }
        if (!reply->value(QStringLiteral("ok")).toBool())
            return qm4::Error{text(*reply, "error").toStdString()};
        return gisShapeOf(*reply);
    };
    ImportShapeDialog dialog(features, notes, shapes, picture_.picture(), qm4::VtpLinePoly(s) == 1,
                             qm4::LwmMask(s) == 1, &window_);
    shown = &dialog;
    command.pause();
    const bool accepted = helperFailure.isEmpty() && dialog.exec() == QDialog::Accepted;
    if (command.cancelled()) return;
    if (!helperFailure.isEmpty()) return showError(failed, helperFailure);
    if (!accepted) return;
    if (const QString dropped = command.changedMeanwhile(); !dropped.isEmpty())
        return showError(failed, dropped);
    const qm4::ImportPresses chosen = dialog.chosen();
    const std::size_t most = std::max(chosen.lwm.size(), chosen.vtp.size());
    if (most > qm4::kMostSourcePoints)
        return showError(failed, tr("It has %1 points after simplification; a source takes at "
                                    "most %2. Simplify it more.")
                                     .arg(most)
                                     .arg(qm4::kMostSourcePoints));
    qm4::ProjectState trial = document_.state();
    qm4::pressImport(trial, chosen, {});
    if (!qm4::countersFit(trial))
        return showError(
            failed, tr("After it the LWM counter would say %1 and the VTP counter "
                       "%2, with the lines the lists hold already; a source takes "
                       "at most %3 points. Simplify it more, or clear the lists.")
                        .arg(qs(trial.txtlwmnumber).trimmed(), qs(trial.txtvtpnumber).trimmed())
                        .arg(qm4::kMostSourcePoints));
    // The points go through the capture exactly as presses on those pixels
    // of a 256-pixel view, in the current mode and with the Send NO Data
    // boxes, as one step to undo.
    document_.importPiece(chosen);
    document_.report(tr("Imported %1 points.").arg(most));
    if (imported_) imported_(path);
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
    helper_.prepare();
    const QString path = services_.saveFileName(&window_, tr("Export Trace"), kTraceFilter,
                                                QDir::toNativeSeparators(proposal));
    if (path.isEmpty()) return;
    const qm4::AreaEdges area = qm4::areaEdges(s);
    const qm4::AreaNumbers numbers = qm4::areaNumbers(s);
    GisCommand command(helper_, document_, window_);
    const auto reply = command.request(
        {{QStringLiteral("op"), QStringLiteral("export")},
         {QStringLiteral("file"), path},
         {QStringLiteral("lwm"),
          placesJson(s.lstLWM.lines, true, area, numbers.areaX, numbers.areaY)},
         {QStringLiteral("vtp"),
          placesJson(s.lstVTP.lines, false, area, numbers.areaX, numbers.areaY)},
         {QStringLiteral("vtpPolygon"), qm4::VtpLinePoly(s) == 0},
         {QStringLiteral("attributes"),
          QJsonObject{{QStringLiteral("project"), qs(s.txtprojectname)},
                      {QStringLiteral("mask"),
                       qm4::LwmMask(s) == 1 ? QStringLiteral("Land") : QStringLiteral("Water")},
                      {QStringLiteral("altitude"), qs(s.txtaltitude)},
                      {QStringLiteral("vectorType"), qs(s.cbovtptype)},
                      {QStringLiteral("layer"), qs(s.cbolayer)}}}},
        tr("Writing %1...").arg(QFileInfo(path).fileName()));
    if (command.cancelled()) return;
    const QString failed = tr("The trace could not be exported.");
    if (!reply) return showError(failed, qs(reply.error().message));
    if (!reply->value(QStringLiteral("ok")).toBool())
        return showError(failed, text(*reply, "error"));
    document_.report(tr("Exported the trace to %1.").arg(path));
}
