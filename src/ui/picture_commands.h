// The area's picture and the view of it: Load 256x256 Image, the picture of
// an opened or restored project, zoom and Fit to Window with the splitter
// beside the picture, and going to the neighbouring areas.
#pragma once

#include <QObject>
#include <QString>

class DrawTab;
class EditCommands;
class PlatformServices;
class ProjectDocument;
class QAction;
class QWidget;
class WorkingFolder;

class PictureCommands : public QObject {
  public:
    PictureCommands(PlatformServices& services, ProjectDocument& document, WorkingFolder& folder,
                    EditCommands& edits, DrawTab& tab, QWidget& window);

    // The dialog starts where the last picture was chosen, else in the
    // folder of the picture shown, else in the working folder.
    void loadPicture();

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

  private:
    // Shows the picture at path, or an empty view and a message when it
    // cannot be read.
    void showPicture(const QString& path);
    void showZoom(int zoom);

    PlatformServices& services_;
    ProjectDocument& document_;
    WorkingFolder& folder_;
    EditCommands& edits_;
    DrawTab& tab_;
    QWidget& window_;
    QAction* zoomIn_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QAction* fit_ = nullptr;
    QString justLoaded_;     // the picture the view shows already
    QString pictureFolder_;  // where the last picture was chosen
};
