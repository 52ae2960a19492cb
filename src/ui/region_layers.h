// What the region map draws, layer over layer: the imagery, the outlines
// of the last imported GIS file, the cell and area lines, a batch's areas
// coloured by outcome, the traces (the open project's and a batch's) and
// the current area's outline; and the painting of them for one view.
#pragma once

#include <QColor>
#include <QImage>
#include <map>
#include <optional>
#include <vector>

#include "capture/area_trace.h"
#include "model/batch_areas.h"
#include "model/map_geometry.h"

class QPainter;

// A picture of the map's ground, on its square of the map.
struct MapPicture {
    QImage image;
    qm4::MapSquare square;
};

struct RegionLayers {
    std::vector<MapPicture> imagery;
    // Each line's places run on across the antimeridian without a jump.
    std::vector<std::vector<qm4::MapPoint>> outlines;
    qm4::BatchAreas outcomes;
    std::vector<qm4::AreaTrace> batchTraces;
    std::optional<qm4::AreaTrace> projectTrace;
    std::optional<qm4::AreaNumbers> currentArea;
    std::optional<qm4::AreaRange> selection;  // dragged with Shift
};

// The batch's layers (its areas by outcome and their traces) as the view
// needs them: the traces thinned to what the scale can show, and, while the
// scale stays, drawn once in tiles of the map's pixels at that scale, so
// that a pan or a hover draws again only what comes into view, however
// large the batch. A frame at a new scale (each notch of the wheel) draws
// the batch straight onto the view, which costs less than tiles.
class BatchTiles {
  public:
    // The batch changed: it is thinned and drawn anew.
    void clear();
    void paint(QPainter& painter, const qm4::MapView& view, const RegionLayers& layers);

  private:
    // The batch's traces thinned for the scale.
    const std::vector<const qm4::AreaTrace*>& tracesFor(double scale, const RegionLayers& layers);

    double scale_ = 0;
    int tolerance_ = 0;  // of the traces thinned; 0: none yet
    std::vector<qm4::AreaTrace> thinned_;
    std::vector<const qm4::AreaTrace*> traces_;
    std::map<std::pair<long long, long long>, QImage> tiles_;  // by column and row
};

// The colour an area of each outcome is washed with.
QColor outcomeColour(qm4::AreaOutcome outcome);

// Paints the layers over the whole view, the ground first.
void paintRegion(QPainter& painter, const qm4::MapView& view, const RegionLayers& layers,
                 BatchTiles& batch);
