// The imagery beneath the region map: the project's imagery cut into tiles
// by the map's helper in the background, at the view's own resolution. A
// tile is cut once a session (the cuts stay on disk); the tiles of the view
// and the last few others stay in memory. An answer for a tile the view no
// longer shows is dropped, and what the view shows is asked for first.
#pragma once

#include <QImage>
#include <QObject>
#include <QTemporaryDir>
#include <list>
#include <set>
#include <tuple>
#include <vector>

#include "model/map_geometry.h"
#include "ui/region_layers.h"

class MapHelper;

class MapImagery : public QObject {
    Q_OBJECT
  public:
    MapImagery(MapHelper& helper, QObject* parent);

    // The raster to cut from; empty for none.
    void setRaster(const QString& path);
    // The view moved: asks for the tiles it shows that are not at hand,
    // after the helper dropped the requests it had not sent yet.
    void follow(const qm4::MapView& view);
    // What to draw for the view: the tiles in memory that it shows, those of
    // its own resolution over those of others (which stand in while the
    // new ones come).
    std::vector<MapPicture> pictures(const qm4::MapView& view) const;

  signals:
    // A tile came: the view is drawn again.
    void arrived();

  private:
    using Key = std::tuple<int, int, int, int>;  // raster, span, column, row
    struct Held {
        Key key;
        qm4::MapTile tile;
        QImage image;
    };

    Key keyOf(const qm4::MapTile& tile) const;
    QString fileOf(const Key& key) const;
    void ask(const qm4::MapTile& tile);
    void keep(const qm4::MapTile& tile, QImage image);

    MapHelper& helper_;
    QStringList rasters_;  // each raster's number in the keys
    int raster_ = -1;
    QTemporaryDir cuts_;
    std::set<Key> cut_;      // on disk
    std::set<Key> missing_;  // the imagery has nothing there, or the cut failed
    std::set<Key> asked_;    // sent to the helper, not answered yet
    std::vector<qm4::MapTile> wanted_;
    std::list<Held> memory_;  // the latest used first
};
