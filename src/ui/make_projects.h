// View > Make Projects for Selection: the batch of the GIS helper program
// run on the areas selected on the region map, with the saved project as
// its template and the last imported GIS file as its input, in the
// background: its progress and a Cancel button in the status bar, each
// area coloured on the map as the batch reports it, the window usable
// meanwhile.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "model/area_grid.h"

class BatchProjects;
class PlatformServices;
class ProjectDocument;
class ProjectFiles;
class QMainWindow;
class QProcess;
class QProgressBar;
class QPushButton;
class QTemporaryFile;

class MakeProjects : public QObject {
  public:
    MakeProjects(PlatformServices& services, ProjectDocument& document, ProjectFiles& files,
                 BatchProjects& batch, QMainWindow& window);
    ~MakeProjects() override;

    // Asks what it needs (the project saved, an input file, the folder) and
    // starts the batch on the areas.
    void run(const std::vector<qm4::AreaNumbers>& areas);
    bool running() const { return process_ != nullptr; }

  private:
    QString chooseFolder();
    void readEvents();
    void finish();
    void cancel();
    void stop();

    PlatformServices& services_;
    ProjectDocument& document_;
    ProjectFiles& files_;
    BatchProjects& batch_;
    QMainWindow& window_;
    QProcess* process_ = nullptr;
    std::unique_ptr<QTemporaryFile> areaList_;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QString folder_;
    int counts_[4] = {};  // written, dropped, failed, skipped
    bool cancelled_ = false;
};
