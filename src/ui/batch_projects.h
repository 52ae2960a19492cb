// The batch the open project belongs to (a project in a folder whose parent
// holds batch.csv): its areas by outcome and their traces, read in the
// background whenever a project is opened or saved, for the region map and
// for Go North, South, West and East, which open the neighbour's project of
// the batch where it has one.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "capture/area_trace.h"
#include "model/batch_areas.h"

class ProjectDocument;
class QThread;

class BatchProjects : public QObject {
    Q_OBJECT
  public:
    // open: opens a project after the question about unsaved work; false
    // when nothing was opened.
    BatchProjects(ProjectDocument& document, std::function<bool(const QString&)> open,
                  QObject* parent);
    ~BatchProjects() override;

    // The batch's output folder; empty outside a batch.
    QString folder() const { return folder_; }
    const qm4::BatchAreas& areas() const { return areas_; }
    const std::vector<qm4::AreaTrace>& traces() const { return traces_; }

    // Opens the project the batch wrote in the area dx east and dy south of
    // the current one; false where the batch has none (or outside a batch).
    bool openNeighbour(int dx, int dy);
    // Reads the batch in the folder (another than the project's, say, while
    // Make Projects writes into it).
    void read(const QString& folder);
    // A batch begins to write into the folder: its areas come one by one
    // through setArea, and read() takes them all from batch.csv at its end.
    void begin(const QString& folder);
    // An area's outcome as a running batch reports it.
    void setArea(const qm4::BatchArea& area);

  signals:
    // The areas or their traces changed.
    void changed();

  private:
    void followProject();
    void startReading();
    void take();

    struct Reading;
    ProjectDocument& document_;
    std::function<bool(const QString&)> open_;
    QString folder_;
    qm4::BatchAreas areas_;
    std::vector<qm4::AreaTrace> traces_;
    std::unique_ptr<Reading> reading_;  // under way in its thread
    bool readAgain_ = false;            // asked for while a read was under way
};
