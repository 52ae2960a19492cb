// Loading the area's picture, zoom, Fit to Window and the neighbouring areas.
#include "ui/picture_commands.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSplitter>

#include "model/area_grid.h"
#include "project/project_file.h"
#include "ui/draw_tab.h"
#include "ui/edit_commands.h"
#include "ui/geo_helper.h"
#include "ui/gis_command.h"
#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

namespace {
const QString kFitKey = QStringLiteral("view/fitToWindow");
const QString kSplitterKey = QStringLiteral("view/drawSplitter");
const QList<FileFilter> kImageryFilters{
    {QStringLiteral("Imagery (*.tif *.tiff *.jpg *.jpeg *.png *.jp2 *.mbtiles *.vrt *.gpkg)"),
     QStringLiteral("*.tif;*.tiff;*.jpg;*.jpeg;*.png;*.jp2;*.mbtiles;*.vrt;*.gpkg")},
    {QStringLiteral("All Files (*)"), QStringLiteral("*")}};

bool located(const qm4::ProjectState& s) {
    return !s.txtcellx.empty() && !s.txtcelly.empty() && !s.txtareax.empty() && !s.txtareay.empty();
}

// "123_120_05_28", as the batch names an area's folder.
QString areaName(const qm4::ProjectState& s) {
    const qm4::AreaNumbers a = qm4::areaNumbers(s);
    return QStringLiteral("%1_%2_%3_%4")
        .arg(a.cellX, 3, 10, QLatin1Char('0'))
        .arg(a.cellY, 3, 10, QLatin1Char('0'))
        .arg(a.areaX, 2, 10, QLatin1Char('0'))
        .arg(a.areaY, 2, 10, QLatin1Char('0'));
}
}  // namespace

PictureCommands::PictureCommands(PlatformServices& services, ProjectDocument& document,
                                 WorkingFolder& folder, EditCommands& edits, GeoHelper& helper,
                                 DrawTab& tab, QWidget& window)
    : QObject(&window),
      services_(services),
      document_(document),
      folder_(folder),
      edits_(edits),
      helper_(helper),
      tab_(tab),
      window_(window) {
    follow_.setSingleShot(true);
    follow_.setInterval(300);
    connect(&follow_, &QTimer::timeout, this, &PictureCommands::followArea);
    connect(&document_, &ProjectDocument::fieldsChanged, this, [this] {
        if (needsCut()) follow_.start();
    });
    // An opened project's picture is the cut of its area already.
    connect(&document_, &ProjectDocument::listsReset, this, [this] {
        lastTried_.clear();
        if (document_.pictureArea())
            cuts_[cutKey(qs(document_.state().imagery))] = document_.picturePath();
    });
    connect(&document_, &ProjectDocument::pictureChanged, this, &PictureCommands::showPicture);
    connect(&tab_, &DrawTab::zoomChanged, this, &PictureCommands::showZoom);
    tab_.splitter()->restoreState(services_.settings().value(kSplitterKey).toByteArray());
    connect(tab_.splitter(), &QSplitter::splitterMoved, this,
            [this] { services_.settings().setValue(kSplitterKey, tab_.splitter()->saveState()); });
}

void PictureCommands::loadPicture() {
    const QString folder = !pictureFolder_.isEmpty() ? pictureFolder_
                           : !document_.picturePath().isEmpty()
                               ? QFileInfo(document_.picturePath()).path()
                               : folder_.path();
    const QString path = services_.openFileName(&window_, QString(), kPictureFilters,
                                                QDir::toNativeSeparators(folder));
    if (path.isEmpty()) return;
    pictureFolder_ = QFileInfo(path).path();
    const QImage picture = ::loadPicture(path);
    if (picture.isNull()) {
        document_.report(
            tr("%1 is not a picture that can be shown.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    tab_.picture()->setPicture(picture);
    justLoaded_ = path;
    // A picture chosen by hand is not cut from the imagery, and no move
    // replaces it with a cut.
    document_.choosePicture({path, {}, std::nullopt}, tr("Load 256x256 Image"));
    if (picture.size() != QSize(256, 256))
        document_.report(tr("The picture is %1 x %2 pixels, not 256 x 256; it is drawn unscaled "
                            "from the top-left corner.")
                             .arg(picture.width())
                             .arg(picture.height()));
    else
        document_.report(QString());
}

void PictureCommands::showPicture(const QString& path) {
    if (!justLoaded_.isEmpty() && path == justLoaded_) return justLoaded_.clear();
    justLoaded_.clear();
    const QImage picture = path.isEmpty() ? QImage() : ::loadPicture(path);
    if (picture.isNull()) {
        tab_.picture()->clearPicture();
        if (!path.isEmpty())
            document_.report(tr("The picture %1 could not be read; the view stays empty.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    tab_.picture()->setPicture(picture);
    // A note that the area had no picture is no longer true.
    if (!noPictureNote_.isEmpty()) document_.withdraw(noPictureNote_);
    noPictureNote_.clear();
}

// ---- Zoom ------------------------------------------------------------------

void PictureCommands::setZoomEntries(QAction* zoomIn, QAction* zoomOut, QAction* fit) {
    zoomIn_ = zoomIn;
    zoomOut_ = zoomOut;
    fit_ = fit;
    // A fresh profile opens at 1x; an author who chose Fit to Window keeps it.
    const bool fitting = services_.settings().value(kFitKey, false).toBool();
    fit_->setChecked(fitting);
    tab_.setFitToWindow(fitting);
    showZoom(tab_.picture()->zoom());
}

void PictureCommands::showZoom(int zoom) {
    zoomIn_->setEnabled(zoom < 4);
    zoomOut_->setEnabled(zoom > 1);
    showDetail();
}

void PictureCommands::zoomBy(int steps) {
    fit_->setChecked(false);
    tab_.setZoom(tab_.picture()->zoom() + steps);
    showZoom(tab_.picture()->zoom());
}

void PictureCommands::actualSize() { zoomBy(1 - tab_.picture()->zoom()); }

void PictureCommands::setFitToWindow(bool fit) {
    services_.settings().setValue(kFitKey, fit);
    tab_.setFitToWindow(fit);
}

// ---- The neighbouring areas ------------------------------------------------

void PictureCommands::goToNeighbour(int dx, int dy, const QString& name) {
    const auto next = qm4::neighbourArea(qm4::areaNumbers(document_.state()), dx, dy);
    if (!next) {
        document_.report(tr("There is no area beyond the pole."));
        return;
    }
    goToArea(*next, name);
}

void PictureCommands::goToArea(const qm4::AreaNumbers& area, const QString& name) {
    const qm4::LatLon centre = qm4::areaCentre(area);
    if (edits_.mayLeaveArea(document_.locatedAt(centre))) document_.goToPosition(centre, name);
}

// ---- Imagery ---------------------------------------------------------------

bool PictureCommands::cut(GisCommand& command, const QString& imagery, int size,
                          const QString& file, QString& why) {
    const auto reply = command.request(
        {{QStringLiteral("op"), QStringLiteral("imagery")},
         {QStringLiteral("file"), imagery},
         {QStringLiteral("area"), areaJson(document_.state())},
         {QStringLiteral("size"), size},
         {QStringLiteral("out"), file}},
        tr("Cutting the picture of the area from %1...").arg(QFileInfo(imagery).fileName()));
    if (!reply)
        why = qs(reply.error().message);
    else if (!reply->value(QStringLiteral("ok")).toBool())
        why = reply->value(QStringLiteral("error")).toString();
    return why.isEmpty();
}

QString PictureCommands::cutKey(const QString& imagery) const {
    return QStringLiteral("%1|%2|%3")
        .arg(imagery)
        .arg(QFileInfo(imagery).lastModified().toMSecsSinceEpoch())
        .arg(areaName(document_.state()));
}

QString PictureCommands::cutForArea(GisCommand& command, const QString& imagery, QString& why) {
    const QString key = cutKey(imagery);
    if (const auto made = cuts_.find(key); made != cuts_.end() && QFileInfo(made->second).isFile())
        return made->second;
    const QString target = freshPicturePath();
    if (!cut(command, imagery, 256, target, why)) return {};
    cuts_[key] = target;
    return target;
}

QString PictureCommands::freshPicturePath() const {
    const QFileInfo project(document_.projectPath());
    const bool saved = !document_.projectPath().isEmpty();
    const QDir folder(saved ? project.path() : folder_.path());
    const QString base = (saved ? project.completeBaseName()
                                : qs(qm4::safeFileName(document_.state().txtprojectname))) +
                         QLatin1Char('_') + areaName(document_.state());
    QString name = base + QStringLiteral(".bmp");
    for (int n = 2; QFileInfo::exists(folder.filePath(name)); ++n)
        name = base + QStringLiteral("_%1.bmp").arg(n);
    return QDir::toNativeSeparators(folder.filePath(name));
}

void PictureCommands::loadImagery() {
    const qm4::ProjectState& s = document_.state();
    if (!located(s)) {
        services_.showMessage(&window_, QMessageBox::Information, kTitle,
                              tr("Calculate the area first: the picture is cut for the area that "
                                 "the cell and area boxes name, and they are empty."));
        return;
    }
    const QString folder = !imageryFolder_.isEmpty() ? imageryFolder_
                           : !s.imagery.empty()      ? QFileInfo(qs(s.imagery)).path()
                                                     : folder_.path();
    helper_.prepare();
    const QString imagery =
        services_.openFileName(&window_, tr("Load Picture from Imagery"), kImageryFilters,
                               QDir::toNativeSeparators(folder));
    if (imagery.isEmpty()) return;
    imageryFolder_ = QFileInfo(imagery).path();
    if (document_.projectPath().isEmpty()) folder_.ensure();
    QString why, target;
    {
        GisCommand command(helper_, document_, window_);
        target = cutForArea(command, imagery, why);
        if (command.cancelled()) return;
        if (!target.isEmpty()) why = command.changedMeanwhile();
    }
    if (!why.isEmpty()) {
        services_.showMessage(&window_, QMessageBox::Warning, kTitle,
                              tr("The picture could not be cut from the imagery.\n\n") + why);
        return;
    }
    lastTried_ = imagery + QLatin1Char('|') + areaName(s);
    showPicture(target);
    justLoaded_ = target;
    document_.choosePicture({target, imagery.toStdString(), document_.locatedArea()},
                            tr("Load Picture from Imagery"));
    document_.report(
        tr("Cut the area from %1 into %2.").arg(QDir::toNativeSeparators(imagery), target));
    showDetail();
}

bool PictureCommands::needsCut() const {
    const qm4::ProjectState& s = document_.state();
    return !s.imagery.empty() && located(s) && document_.pictureArea() != document_.locatedArea() &&
           qs(s.imagery) + QLatin1Char('|') + areaName(s) != lastTried_;
}

void PictureCommands::followArea() {
    if (!needsCut()) return;
    // One request at a time: the cut waits for the command under way.
    if (helper_.busy()) return follow_.start();
    const QString imagery = qs(document_.state().imagery);
    lastTried_ = imagery + QLatin1Char('|') + areaName(document_.state());
    QString why, target;
    {
        GisCommand command(helper_, document_, window_);
        target = cutForArea(command, imagery, why);
        // The area the cut was for is left; the new one is cut next.
        if (const QString dropped = command.changedMeanwhile(); !dropped.isEmpty())
            return document_.report(dropped);
    }
    if (target.isEmpty()) {
        document_.setPicture(QString(), std::nullopt);
        noPictureNote_ = tr("No picture for this area: %1").arg(why);
        document_.report(noPictureNote_);
        return;
    }
    showPicture(target);
    justLoaded_ = target;
    document_.setPicture(target, document_.locatedArea());
    showDetail();
}

void PictureCommands::showDetail() {
    const qm4::ProjectState& s = document_.state();
    const int zoom = tab_.picture()->zoom();
    if (zoom == 1 || s.imagery.empty() || !document_.pictureArea() ||
        document_.pictureArea() != document_.locatedArea())
        return;
    if (helper_.busy()) return QTimer::singleShot(200, this, &PictureCommands::showDetail);
    const QString area = areaName(s);
    const QString key = QStringLiteral("%1_%2_%3").arg(area).arg(zoom).arg(qs(s.imagery));
    auto found = detailCache_.find(key);
    if (found == detailCache_.end()) {
        const QString file = details_.filePath(QStringLiteral("%1_%2x.png").arg(area).arg(zoom));
        QString why;
        GisCommand command(helper_, document_, window_);
        if (!cut(command, qs(s.imagery), 256 * zoom, file, why)) return document_.report(why);
        if (!command.changedMeanwhile().isEmpty()) return;
        found = detailCache_.emplace(key, QImage(file)).first;
    }
    tab_.picture()->setDetail(found->second);
}
