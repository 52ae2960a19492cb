// The area's picture and the view of it: Load 256x256 Image, the picture cut
// from imagery (which follows the author from area to area, and is cut
// again at the zoom's own resolution), the picture of an opened or restored
// project, zoom and Fit to Window with the splitter beside the picture, and
// going to the neighbouring areas.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <map>

#include "model/area_grid.h"

class DrawTab;
class EditCommands;
class GeoHelper;
class PlatformServices;
class ProjectDocument;
class QAction;
class QWidget;
class WorkingFolder;

class PictureCommands : public QObject {
  public:
    PictureCommands(PlatformServices& services, ProjectDocument& document, WorkingFolder& folder,
                    EditCommands& edits, GeoHelper& helper, DrawTab& tab, QWidget& window);

    // The dialog starts where the last picture was chosen, else in the
    // folder of the picture shown, else in the working folder.
    void loadPicture();
    // File > Load Picture from Imagery: the area cut from any raster GDAL
    // reads, written beside the project as a 256 x 256 bitmap that is the
    // project's picture from then on.
    void loadImagery();

    // The zoom entries, kept enabled as far as they go and Fit to Window
    // ticked as remembered.
    void setZoomEntries(QAction* zoomIn, QAction* zoomOut, QAction* fit);
    // Zooming by hand ends Fit to Window.
    void zoomBy(int steps);
    void actualSize();
    void setFitToWindow(bool fit);

    // The area dx east and dy south, as Go to Position would go there (with
    // the question when the lists hold points), as one step to undo.
    void goToNeighbour(int dx, int dy, const QString& name);
    // Any area, as the neighbours are gone to.
    void goToArea(const qm4::AreaNumbers& area, const QString& name);

  private:
    // Shows the picture at path, or an empty view and a message when it
    // cannot be read.
    void showPicture(const QString& path);
    void showZoom(int zoom);
    // The current area cut from the imagery into file at size pixels;
    // false with the reason when it could not be.
    bool cut(const QString& imagery, int size, const QString& file, QString& why);
    // <project>_<cellx>_<celly>_<areax>_<areay>.bmp beside the project, or
    // in the working folder for one not saved yet.
    QString picturePathForArea() const;
    // After a move to another area, the picture is cut there too.
    void followArea();
    // At 2x to 4x the imagery is shown at the zoom's own resolution.
    void showDetail();

    PlatformServices& services_;
    ProjectDocument& document_;
    WorkingFolder& folder_;
    EditCommands& edits_;
    GeoHelper& helper_;
    DrawTab& tab_;
    QWidget& window_;
    QAction* zoomIn_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QAction* fit_ = nullptr;
    QString justLoaded_;                     // the picture the view shows already
    QString pictureFolder_;                  // where the last picture was chosen
    QString imageryFolder_;                  // where the last imagery was chosen
    QString cutArea_;                        // the area the imagery was last cut for
    QTimer follow_;                          // typing in the area boxes settles first
    QTemporaryDir details_;                  // the zoomed cuts
    std::map<QString, QImage> detailCache_;  // by area, zoom and imagery
};
