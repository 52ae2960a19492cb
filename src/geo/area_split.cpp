// Halving the region: lines are cut into runs of their own vertices (no new
// point, so an area's clip sees exactly the segments the whole line gives
// it), polygons are clipped to each half by GEOS. Every half keeps half an
// area around it, so a cut never lies near an area it serves.
#include "geo/area_split.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "model/area_grid.h"

namespace qm4::geo {
namespace {

using Run = std::shared_ptr<const std::vector<double>>;  // lon, lat, lon, lat...

struct Item {
    std::size_t feature = 0;
    std::vector<Run> runs;                       // a line's runs
    std::shared_ptr<const OGRGeometry> polygon;  // or a polygon's part
};

struct Node {
    GridRange range;
    std::vector<Item> items;
};

struct Box {
    double west = 0, south = 0, east = 0, north = 0;
};

constexpr double kMargin = 0.5;  // in areas

Box boxOf(const GridRange& r) {
    return {-180 + (r.x0 - kMargin) * kAreaWidth, 90 - (r.y1 + kMargin) * kAreaHeight,
            -180 + (r.x1 + kMargin) * kAreaWidth, 90 - (r.y0 - kMargin) * kAreaHeight};
}

bool inside(const OGREnvelope& e, const Box& b) {
    return e.MinX >= b.west && e.MaxX <= b.east && e.MinY >= b.south && e.MaxY <= b.north;
}

bool meets(const OGREnvelope& e, const Box& b) {
    return e.MaxX >= b.west && e.MinX <= b.east && e.MaxY >= b.south && e.MinY <= b.north;
}

// The run's stretches of consecutive segments whose bounds meet the box.
void limit(const Run& run, const Box& b, std::vector<Run>& out) {
    const std::vector<double>& p = *run;
    const std::size_t points = p.size() / 2;
    std::size_t start = points;  // the first point of the stretch being gathered
    const auto close = [&](std::size_t last) {
        if (start == 0 && last == points - 1)
            out.push_back(run);
        else
            out.push_back(std::make_shared<const std::vector<double>>(p.begin() + 2 * start,
                                                                      p.begin() + 2 * last + 2));
        start = points;
    };
    for (std::size_t i = 0; i + 1 < points; ++i) {
        const double x0 = p[2 * i], y0 = p[2 * i + 1], x1 = p[2 * i + 2], y1 = p[2 * i + 3];
        const bool near = std::max(x0, x1) >= b.west && std::min(x0, x1) <= b.east &&
                          std::max(y0, y1) >= b.south && std::min(y0, y1) <= b.north;
        if (near && start == points) start = i;
        if (!near && start != points) close(i);
    }
    if (start != points) close(points - 1);
}

std::shared_ptr<const OGRGeometry> clipped(const std::shared_ptr<const OGRGeometry>& polygon,
                                           const Box& b) {
    OGREnvelope e;
    polygon->getEnvelope(&e);
    if (inside(e, b)) return polygon;
    if (!meets(e, b)) return nullptr;
    OGRPolygon rectangle;
    auto* ring = new OGRLinearRing;
    for (const auto& [x, y] : {std::pair{b.west, b.north},
                               {b.east, b.north},
                               {b.east, b.south},
                               {b.west, b.south},
                               {b.west, b.north}})
        ring->addPoint(x, y);
    rectangle.addRingDirectly(ring);
    std::shared_ptr<const OGRGeometry> part(polygon->Intersection(&rectangle));
    if (!part || part->IsEmpty()) return nullptr;
    return part;
}

Node narrowed(const Node& node, const GridRange& range) {
    const Box b = boxOf(range);
    Node half{range, {}};
    for (const Item& item : node.items) {
        Item kept{item.feature, {}, nullptr};
        if (item.polygon) {
            kept.polygon = clipped(item.polygon, b);
            if (!kept.polygon) continue;
        } else {
            for (const Run& run : item.runs) limit(run, b, kept.runs);
            if (kept.runs.empty()) continue;
        }
        half.items.push_back(std::move(kept));
    }
    return half;
}

std::pair<GridRange, GridRange> halves(const GridRange& r) {
    if (r.x1 - r.x0 >= r.y1 - r.y0) {
        const int middle = r.x0 + (r.x1 - r.x0) / 2;
        return {{r.x0, r.y0, middle, r.y1}, {middle, r.y0, r.x1, r.y1}};
    }
    const int middle = r.y0 + (r.y1 - r.y0) / 2;
    return {{r.x0, r.y0, r.x1, middle}, {r.x0, middle, r.x1, r.y1}};
}

// Halves that wait for a job. A job that halves its range leaves the
// second half here while another job has nothing to do, and follows the
// first down itself; so the jobs share the halving from the first cut and
// none stands idle at the end while a large half is left to one.
class WaitingHalves {
  public:
    WaitingHalves(int jobs, Node whole) : jobs_(jobs) { waiting_.push_back(std::move(whole)); }

    bool jobIdle() {
        const std::lock_guard lock(mutex_);
        return idle_ > static_cast<int>(waiting_.size());
    }

    void leave(Node half) {
        {
            const std::lock_guard lock(mutex_);
            waiting_.push_back(std::move(half));
        }
        wake_.notify_one();
    }

    // The next half, or nothing once every job waits and none is left.
    std::optional<Node> take() {
        std::unique_lock lock(mutex_);
        ++idle_;
        if (idle_ == jobs_ && waiting_.empty()) wake_.notify_all();
        wake_.wait(lock, [this] { return !waiting_.empty() || idle_ == jobs_; });
        if (waiting_.empty()) return std::nullopt;
        --idle_;
        Node half = std::move(waiting_.back());
        waiting_.pop_back();
        return half;
    }

  private:
    const int jobs_;
    int idle_ = 0;
    std::vector<Node> waiting_;
    std::mutex mutex_;
    std::condition_variable wake_;
};

class Splitter {
  public:
    Splitter(const std::vector<BatchFeature>& features, const SplitWork& work,
             WaitingHalves& waiting)
        : features_(features), work_(work), waiting_(waiting), envelopes_(features.size()) {
        // Once: a coastline's envelope is a walk over all its vertices.
        for (std::size_t i = 0; i < features.size(); ++i)
            features[i].shape->getEnvelope(&envelopes_[i]);
    }

    void descend(const Node& node) const {
        if (node.items.empty()) return finished(node.range.count());
        if (node.range.count() > 1) {
            const auto [first, second] = halves(node.range);
            if (waiting_.jobIdle()) {
                waiting_.leave(half(node, second));
                descend(half(node, first));
                return;
            }
            descend(half(node, first));
            descend(half(node, second));
            return;
        }
        const GridArea area{node.range.x0, node.range.y0};
        if (work_.wanted(area)) leaf(area, node);
        finished(1);
    }

  private:
    // The node narrowed to one of its halves, or straight to the wanted
    // areas in it; the rest of the half is done.
    Node half(const Node& node, const GridRange& range) const {
        const GridRange wanted = work_.wantedWithin ? work_.wantedWithin(range) : range;
        finished(range.count() - wanted.count());
        if (wanted.count() == 0) return {wanted, {}};
        return narrowed(node, wanted);
    }

    void finished(long long areas) const {
        if (work_.done) *work_.done += areas;
    }

    void leaf(GridArea area, const Node& node) const {
        const AreaEdges edges = gridAreaEdges(area);
        std::vector<NearArea> near;
        for (const Item& item : node.items) {
            const BatchFeature& feature = features_[item.feature];
            const OGREnvelope& e = envelopes_[item.feature];
            double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            latLonToPixel(edges, {e.MaxY, e.MinX}, x0, y0);
            latLonToPixel(edges, {e.MinY, e.MaxX}, x1, y1);
            const bool whole = x0 >= 0 && y0 >= 0 && x1 <= 255 && y1 <= 255;
            if (whole) {
                near.push_back({item.feature, Geometry(feature.shape->clone()), true});
            } else if (item.polygon) {
                near.push_back({item.feature, Geometry(item.polygon->clone()), false});
            } else {
                auto lines = std::make_unique<OGRMultiLineString>();
                for (const Run& run : item.runs) {
                    auto line = new OGRLineString;
                    line->setNumPoints(static_cast<int>(run->size() / 2), FALSE);
                    for (std::size_t i = 0; i < run->size() / 2; ++i)
                        line->setPoint(static_cast<int>(i), (*run)[2 * i], (*run)[2 * i + 1]);
                    lines->addGeometryDirectly(line);
                }
                near.push_back({item.feature, std::move(lines), false});
            }
        }
        work_.area(area, near);
    }

    const std::vector<BatchFeature>& features_;
    const SplitWork& work_;
    WaitingHalves& waiting_;
    std::vector<OGREnvelope> envelopes_;
};

// The feature as the split carries it: a line's parts as runs, a polygon's
// polygons (a repair can leave lines beside them; the clip keeps polygons).
Item itemOf(std::size_t index, const OGRGeometry& shape) {
    Item item{index, {}, nullptr};
    const Geometry linear(shape.hasCurveGeometry() ? shape.getLinearGeometry() : shape.clone());
    auto polygons = std::make_unique<OGRMultiPolygon>();
    std::vector<const OGRGeometry*> pending{linear.get()};
    while (!pending.empty()) {
        const OGRGeometry* g = pending.back();
        pending.pop_back();
        const OGRwkbGeometryType type = wkbFlatten(g->getGeometryType());
        if (type == wkbPolygon) polygons->addGeometry(g);
        if (type == wkbLineString || type == wkbLinearRing) {
            const OGRSimpleCurve* line = g->toSimpleCurve();
            auto points = std::make_shared<std::vector<double>>();
            for (const OGRPoint& p : *line) {
                points->push_back(p.getX());
                points->push_back(p.getY());
            }
            if (points->size() >= 4) item.runs.push_back(std::move(points));
        }
        if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection))
            for (const OGRGeometry* part : *g->toGeometryCollection()) pending.push_back(part);
    }
    if (!polygons->IsEmpty()) {
        item.runs.clear();
        item.polygon = std::move(polygons);
    }
    return item;
}

}  // namespace

AreaEdges gridAreaEdges(GridArea area) {
    ProjectState s;
    s.txtcellx = std::to_string(area.x / 32), s.txtareax = std::to_string(area.x % 32);
    s.txtcelly = std::to_string(area.y / 32), s.txtareay = std::to_string(area.y % 32);
    return areaEdges(s);
}

void splitOverAreas(const std::vector<BatchFeature>& features, GridRange range, int jobs,
                    const SplitWork& work) {
    Node root{range, {}};
    for (std::size_t i = 0; i < features.size(); ++i) {
        Item item = itemOf(i, *features[i].shape);
        if (item.polygon || !item.runs.empty()) root.items.push_back(std::move(item));
    }
    jobs = std::max(1, jobs);
    WaitingHalves waiting(jobs, narrowed(root, range));
    const Splitter splitter(features, work, waiting);
    const auto take = [&] {
        while (const auto half = waiting.take()) splitter.descend(*half);
    };
    std::vector<std::thread> threads;
    for (int j = 1; j < jobs; ++j) threads.emplace_back(take);
    take();
    for (std::thread& t : threads) t.join();
}

}  // namespace qm4::geo
