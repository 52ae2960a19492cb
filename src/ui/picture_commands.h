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
class GisCommand;
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
    // project's picture from then on. Both loads are steps to undo.
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
    bool cut(GisCommand& command, const QString& imagery, int size, const QString& file,
             QString& why);
    // The picture of the current area from the imagery: a cut made earlier
    // in the session while the imagery is unchanged, else a new cut. Empty,
    // with the reason, when there is none.
    QString cutForArea(GisCommand& command, const QString& imagery, QString& why);
    // The imagery (as it is now on disk) and the current area.
    QString cutKey(const QString& imagery) const;
    // <project>_<cellx>_<celly>_<areax>_<areay>.bmp beside the project, or
    // in the working folder for one not saved yet; _2, _3... after it when
    // that file is there, so that no cut replaces a picture that a saved
    // project or a step to undo shows.
    QString freshPicturePath() const;
    // Whether the area needs its own cut of the imagery, not tried yet.
    bool needsCut() const;
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
    QString lastTried_;                      // the imagery and area last cut for
    QString noPictureNote_;                  // said while an area has no picture
    QTimer follow_;                          // typing in the area boxes settles first
    QTemporaryDir details_;                  // the zoomed cuts
    std::map<QString, QImage> detailCache_;  // by area, zoom and imagery
    std::map<QString, QString> cuts_;        // this session's cuts by cutKey
};
