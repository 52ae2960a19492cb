// Shapes from GIS files, through the GIS helper: Import Shape brings a
// feature of a vector file in as the presses a careful author would have
// made; Export Trace writes the lists back to the globe for a GIS.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <functional>

class GeoHelper;
class PlatformServices;
class PictureView;
class ProjectDocument;
class QWidget;
class WorkingFolder;

class ShapeCommands : public QObject {
  public:
    ShapeCommands(PlatformServices& services, ProjectDocument& document, WorkingFolder& folder,
                  GeoHelper& helper, const PictureView& picture, QWidget& window);

    void importShape();
    void exportTrace();
    // Told the file of each shape imported.
    void setImportedHook(std::function<void(const QString&)> imported) {
        imported_ = std::move(imported);
    }

  private:
    // "cell 123, 120, area 5, 28 (North 47.5048828125, South ..., West ..., East ...)"
    QString areaDescription() const;
    void showError(const QString& what, const QString& cause);

    PlatformServices& services_;
    ProjectDocument& document_;
    WorkingFolder& folder_;
    GeoHelper& helper_;
    const PictureView& picture_;
    QWidget& window_;
    std::function<void(const QString&)> imported_;
};
