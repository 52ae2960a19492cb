// View > Region Map: the map of the area grid around the current area, in
// a window of its own beside the form (a floating dock: a double-click on
// its title puts it into the main window). This controller feeds the map's
// layers from the document (the current area, its trace, its imagery),
// from the last imported GIS file (its outlines) and from a batch (its
// areas by outcome and their traces); asks its own GIS helper for imagery
// and outlines in the background as the view moves; names what lies under
// the mouse in the status bar; and turns a double-click on an area into
// going there.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "capture/area_trace.h"
#include "model/batch_areas.h"
#include "model/map_geometry.h"

class MapHelper;
class MapImagery;
class PlatformServices;
class ProjectDocument;
class QDockWidget;
class QMainWindow;
class RegionView;

class RegionMap : public QObject {
    Q_OBJECT
  public:
    // What the map asks of the window: to go to an area as Go North goes to
    // the next (the question when the lists hold points, one step to undo),
    // and to open a project (after the question about unsaved work).
    struct Moves {
        std::function<void(const qm4::AreaNumbers&)> goToArea;
        std::function<void(const QString&)> openProject;
    };

    RegionMap(PlatformServices& services, ProjectDocument& document, Moves moves,
              QMainWindow& window);

    QDockWidget* dock() const { return dock_; }
    RegionView* view() const { return view_; }

    // The GIS file whose outlines the map draws: the last one imported.
    void setOutlineFile(const QString& path);
    // A batch's areas, coloured by outcome, with the traces of its projects.
    // A double-click on an area where the batch wrote a project opens that
    // project instead of moving there.
    void showBatch(qm4::BatchAreas areas, std::vector<qm4::AreaTrace> traces);
    // The areas dragged over with Shift; none before a drag.
    std::vector<qm4::AreaNumbers> selectedAreas() const;

  private:
    void followDocument();
    void followView();
    void askOutlines();
    // Whether the outlines asked for last still serve the view.
    bool outlinesServe(const qm4::MapView& view) const;
    void takeOutlines(const QJsonObject& reply);
    void goTo(const qm4::AreaNumbers& area);
    void report(const QString& text);

    PlatformServices& services_;
    ProjectDocument& document_;
    Moves moves_;
    QMainWindow& window_;
    QDockWidget* dock_ = nullptr;
    RegionView* view_ = nullptr;
    MapHelper* helper_ = nullptr;
    MapImagery* imagery_ = nullptr;
    QString raster_;
    QTimer traceDue_;  // a press changes the trace; a burst of them redraws it once
    QString outlineFile_;
    qm4::AreaEdges outlineBox_;   // asked for last
    double outlineScale_ = 0;     // of the view asked for; 0: nothing asked
    bool outlinesAsked_ = false;  // not answered yet
    bool outlinesFailed_ = false;
};
