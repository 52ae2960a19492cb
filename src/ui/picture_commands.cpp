// Loading the area's picture.
#include "ui/picture_commands.h"

#include <QDir>
#include <QFileInfo>

#include "ui/picture_loading.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/window_common.h"
#include "ui/working_folder.h"

PictureCommands::PictureCommands(PlatformServices& services, ProjectDocument& document,
                                 WorkingFolder& folder, PictureView& picture, QWidget& window)
    : QObject(&window),
      services_(services),
      document_(document),
      folder_(folder),
      picture_(picture),
      window_(window) {
    connect(&document_, &ProjectDocument::pictureChanged, this, &PictureCommands::showPicture);
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
    picture_.setPicture(picture);
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
        picture_.clearPicture();
        if (!path.isEmpty())
            document_.report(tr("The picture %1 could not be read; the view stays empty.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    picture_.setPicture(picture);
}
