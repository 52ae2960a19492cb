// Loading the area's picture, zoom, Fit to Window and the neighbouring areas.
#include "ui/picture_commands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSplitter>

#include "model/area_grid.h"
#include "ui/draw_tab.h"
#include "ui/edit_commands.h"
#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

namespace {
const QString kFitKey = QStringLiteral("view/fitToWindow");
const QString kSplitterKey = QStringLiteral("view/drawSplitter");
}  // namespace

PictureCommands::PictureCommands(PlatformServices& services, ProjectDocument& document,
                                 WorkingFolder& folder, EditCommands& edits, DrawTab& tab,
                                 QWidget& window)
    : QObject(&window),
      services_(services),
      document_(document),
      folder_(folder),
      edits_(edits),
      tab_(tab),
      window_(window) {
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
    document_.setPicture(path);
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
    const qm4::LatLon centre = qm4::areaCentre(*next);
    if (edits_.mayLeaveArea(document_.locatedAt(centre))) document_.goToPosition(centre, name);
}
