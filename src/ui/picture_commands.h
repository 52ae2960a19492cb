// The area's picture: Load 256x256 Image, and the picture of an opened or
// restored project shown in the view.
#pragma once

#include <QObject>
#include <QString>

class PictureView;
class PlatformServices;
class ProjectDocument;
class QWidget;
class WorkingFolder;

class PictureCommands : public QObject {
  public:
    PictureCommands(PlatformServices& services, ProjectDocument& document, WorkingFolder& folder,
                    PictureView& picture, QWidget& window);

    // The dialog starts where the last picture was chosen, else in the
    // folder of the picture shown, else in the working folder.
    void loadPicture();

  private:
    // Shows the picture at path, or an empty view and a message when it
    // cannot be read.
    void showPicture(const QString& path);

    PlatformServices& services_;
    ProjectDocument& document_;
    WorkingFolder& folder_;
    PictureView& picture_;
    QWidget& window_;
    QString justLoaded_;     // the picture the view shows already
    QString pictureFolder_;  // where the last picture was chosen
};
