// The map's imagery tiles: asked for, cut to disk, kept in memory as the
// view needs them.
#include "ui/map_imagery.h"

#include <QJsonObject>
#include <algorithm>
#include <climits>

#include "ui/geo_helper.h"
#include "ui/map_helper.h"

namespace {
// Tiles kept in memory beyond those the view shows, for a view that comes back.
constexpr int kSpareTiles = 2;
}  // namespace

MapImagery::MapImagery(MapHelper& helper, QObject* parent) : QObject(parent), helper_(helper) {}

void MapImagery::setRaster(const QString& path) {
    if (!path.isEmpty() && !rasters_.contains(path)) rasters_ << path;
    raster_ = path.isEmpty() ? -1 : static_cast<int>(rasters_.indexOf(path));
    wanted_.clear();
}

MapImagery::Key MapImagery::keyOf(const qm4::MapTile& tile) const {
    return {raster_, tile.span, tile.column, tile.row};
}

QString MapImagery::fileOf(const Key& key) const {
    const auto [raster, span, column, row] = key;
    return cuts_.filePath(
        QStringLiteral("%1_%2_%3_%4.bmp").arg(raster).arg(span).arg(column).arg(row));
}

void MapImagery::follow(const qm4::MapView& view) {
    wanted_ = raster_ < 0 ? std::vector<qm4::MapTile>() : qm4::tilesFor(view);
    for (const qm4::MapTile& tile : wanted_) {
        const Key key = keyOf(tile);
        if (missing_.count(key) || asked_.count(key)) continue;
        const auto held = std::find_if(memory_.begin(), memory_.end(),
                                       [&](const Held& h) { return h.key == key; });
        if (held != memory_.end())
            memory_.splice(memory_.begin(), memory_, held);
        else if (cut_.count(key))
            keep(tile, QImage(fileOf(key)));
        else
            ask(tile);
    }
    int spare = 0;
    for (auto held = memory_.begin(); held != memory_.end();) {
        const bool shown = std::find(wanted_.begin(), wanted_.end(), held->tile) != wanted_.end() &&
                           std::get<0>(held->key) == raster_;
        held = shown || spare++ < kSpareTiles ? std::next(held) : memory_.erase(held);
    }
}

void MapImagery::ask(const qm4::MapTile& tile) {
    const Key key = keyOf(tile);
    asked_.insert(key);
    const QString file = fileOf(key);
    helper_.send({{QStringLiteral("op"), QStringLiteral("imagery")},
                  {QStringLiteral("file"), rasters_.at(raster_)},
                  {QStringLiteral("area"), edgesJson(qm4::tileEdges(tile))},
                  {QStringLiteral("size"), qm4::kTilePixels},
                  {QStringLiteral("out"), file}},
                 [this, key, tile, file](const QJsonObject& reply) {
                     asked_.erase(key);
                     if (reply.value(QStringLiteral("dropped")).toBool()) return;
                     if (!reply.value(QStringLiteral("ok")).toBool()) {
                         missing_.insert(key);
                         return;
                     }
                     cut_.insert(key);
                     // The view has moved on: the cut waits on disk for a view that comes back.
                     if (std::get<0>(key) != raster_ ||
                         std::find(wanted_.begin(), wanted_.end(), tile) == wanted_.end())
                         return;
                     keep(tile, QImage(file));
                     emit arrived();
                 });
}

void MapImagery::keep(const qm4::MapTile& tile, QImage image) {
    if (!image.isNull()) memory_.push_front({keyOf(tile), tile, std::move(image)});
}

std::vector<MapPicture> MapImagery::pictures(const qm4::MapView& view) const {
    const int span = qm4::tileSpan(view.scale);
    const QRectF shown(0, 0, view.width, view.height);
    std::vector<const Held*> drawn;
    for (const Held& held : memory_) {
        const qm4::MapSquare square = qm4::tilePicture(held.tile);
        const qm4::WidgetPoint corner = qm4::widgetPointOf(view, square.corner);
        const double side = square.side * view.scale;
        if (std::get<0>(held.key) == raster_ &&
            QRectF(corner.x, corner.y, side, side).intersects(shown))
            drawn.push_back(&held);
    }
    // Coarse tiles beneath finer ones, the view's own on top.
    const auto rank = [span](const Held* h) {
        return h->tile.span == span ? INT_MAX : -h->tile.span;
    };
    std::sort(drawn.begin(), drawn.end(),
              [&](const Held* a, const Held* b) { return rank(a) < rank(b); });
    std::vector<MapPicture> pictures;
    for (const Held* held : drawn) pictures.push_back({held->image, qm4::tilePicture(held->tile)});
    return pictures;
}
