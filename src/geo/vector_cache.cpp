// The helper's files: read once through GDAL, or asked through their own
// spatial index, kept in a short list with the most recently used first.
#include "geo/vector_cache.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <optional>

namespace qm4::geo {

std::string featureName(const OGRFeature& feature) {
    const OGRFeatureDefn& definition = *feature.GetDefnRef();
    int best = -1, bestRank = 3;
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        const OGRFieldDefn& field = *definition.GetFieldDefn(i);
        if (field.GetType() != OFTString || !feature.IsFieldSetAndNotNull(i)) continue;
        std::string name = field.GetNameRef();
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const bool other = name == "label" || name == "title" || name == "nom" ||
                           name == "nombre" || name == "navn" || name == "namn";
        const int rank = name == "name"                           ? 0
                         : name.find("name") != std::string::npos ? 1
                         : other                                  ? 2
                                                                  : 3;
        if (rank < bestRank) best = i, bestRank = rank;
    }
    return best < 0 ? "" : feature.GetFieldAsString(best);
}

CachedFeature keptFeature(OGRFeature& read, const OGRCoordinateTransformation* toWgs84) {
    CachedFeature feature;
    feature.fid = read.GetFID();
    feature.name = featureName(read);
    Geometry shape(read.StealGeometry());
    if (!shape || shape->IsEmpty()) {
        feature.problem = "has no shape.";
        return feature;
    }
    feature.geometryType = OGRGeometryTypeToName(wkbFlatten(shape->getGeometryType()));
    if (toWgs84 &&
        shape->transform(const_cast<OGRCoordinateTransformation*>(toWgs84)) != OGRERR_NONE) {
        feature.problem = "cannot be placed on the globe.";
        return feature;
    }
    shape->getEnvelope(&feature.envelope);
    feature.shape = std::move(shape);
    return feature;
}

namespace {

// GEOS's own rule for lines (finite coordinates and two distinct points
// at least), without handing GEOS a copy of a coastline's million
// vertices; nothing for other shapes.
std::optional<bool> linesValid(const OGRGeometry& shape) {
    const OGRwkbGeometryType type = wkbFlatten(shape.getGeometryType());
    if (type == wkbMultiLineString) {
        for (const OGRLineString* line : *shape.toMultiLineString())
            if (!linesValid(*line).value_or(false)) return false;
        return true;
    }
    if (type != wkbLineString) return std::nullopt;
    const OGRLineString& line = *shape.toLineString();
    int distinct = 0;
    for (int i = 0; i < line.getNumPoints(); ++i) {
        if (!std::isfinite(line.getX(i)) || !std::isfinite(line.getY(i))) return false;
        distinct += i == 0 || line.getX(i) != line.getX(i - 1) || line.getY(i) != line.getY(i - 1);
    }
    return distinct >= 2;
}

class InsideCounter : public OGRDefaultConstGeometryVisitor {
  public:
    explicit InsideCounter(const AreaEdges& area) : area_(area) {}
    using OGRDefaultConstGeometryVisitor::visit;
    int inside = 0;
    void visit(const OGRPoint* p) override {
        double x = 0, y = 0;
        latLonToPixel(area_, {p->getY(), p->getX()}, x, y);
        if (x >= 0 && x <= 255 && y >= 0 && y <= 255) ++inside;
    }

  private:
    AreaEdges area_;
};

ShapeCheck checkShape(const OGRGeometry& shape) {
    const QuietGdal quiet;
    const std::optional<bool> lines = linesValid(shape);
    if (lines ? *lines : shape.IsValid()) return {};
    ShapeCheck check{false, Geometry(shape.MakeValid())};
    if (check.repaired && !check.repaired->IsValid()) check.repaired.reset();
    return check;
}

// Layers whose format finds the features in a box through an index of its
// own are asked, not read whole.
bool hasOwnIndex(OGRLayer& layer) {
    return layer.TestCapability(OLCFastSpatialFilter) && layer.TestCapability(OLCRandomRead);
}

OGRPolygon boxOf(const AreaEdges& area) {
    OGRPolygon box;
    OGRLinearRing ring;
    for (const auto& [lon, lat] : {std::pair{area.west, area.north},
                                   {area.east, area.north},
                                   {area.east, area.south},
                                   {area.west, area.south},
                                   {area.west, area.north}})
        ring.addPoint(lon, lat);
    box.addRing(&ring);
    return box;
}

FileStamp stampOf(const std::string& path) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0) return {};
    return {true, static_cast<std::uintmax_t>(s.st_size), s.st_mtim.tv_sec, s.st_mtim.tv_nsec,
            static_cast<long long>(s.st_ino)};
}

Expected<std::shared_ptr<VectorFile>> readFile(const std::string& path, const Progress& progress,
                                               long long& reads) {
    auto dataset = openVectorFile(path);
    if (!dataset) return dataset.error();
    ++reads;
    auto file = std::make_shared<VectorFile>();
    file->path = path;
    file->reads = &reads;
    const int count = (*dataset)->GetLayerCount();
    GIntBig total = 0, done = 0;
    for (int l = 0; l < count; ++l)
        if (!hasOwnIndex(*(*dataset)->GetLayer(l)))
            total += std::max<GIntBig>(0, (*dataset)->GetLayer(l)->GetFeatureCount(FALSE));
    bool keepOpen = false;
    file->layers.resize(static_cast<std::size_t>(count));
    for (int l = 0; l < count; ++l) {
        OGRLayer* layer = (*dataset)->GetLayer(l);
        CachedLayer& cached = file->layers[static_cast<std::size_t>(l)];
        cached.name = layer->GetName();
        cached.assumed = layer->GetSpatialRef() == nullptr;
        auto toWgs84 = wgs84Transform(*layer);
        if (!toWgs84) return toWgs84.error();
        cached.toWgs84 = std::move(toWgs84.value());
        if (hasOwnIndex(*layer)) {
            cached.indexed = layer;
            keepOpen = true;
            continue;
        }
        layer->SetSpatialFilter(nullptr);
        for (const auto& feature : *layer) {
            if (++done % 64 == 0 && progress &&
                !progress(std::min(1.0, double(done) / double(std::max<GIntBig>(1, total)))))
                return Error{"Cancelled."};
            cached.add(keptFeature(*feature, cached.toWgs84.get()));
            checkAhead(cached.features.back());
        }
    }
    if (keepOpen) file->dataset = std::move(dataset.value());
    return file;
}

}  // namespace

bool isPoint(const CachedFeature& feature) {
    return feature.geometryType == "Point" || feature.geometryType == "Multi Point";
}

std::string untraceable(const CachedFeature& feature, const std::string& layerName) {
    const std::string said = describeFeature(layerName, feature.fid) + " ";
    if (isPoint(feature)) return said + "is a point; only lines and polygons can be traced.";
    return feature.problem.empty() ? "" : said + feature.problem;
}

void CachedLayer::add(CachedFeature feature) {
    byFid[feature.fid] = features.size();
    features.push_back(std::move(feature));
}

void CachedLayer::clear() {
    features.clear();
    byFid.clear();
}

Expected<std::vector<VectorFile::Meeting>> VectorFile::meeting(int layer, const AreaEdges& area) {
    CachedLayer& cached = layers.at(static_cast<std::size_t>(layer));
    if (cached.indexed) {
        auto reader = readerFor(cached.indexed, area);
        if (!reader) return reader.error();
        ++*reads;
        cached.clear();
        for (const auto& feature : *cached.indexed)
            cached.add(keptFeature(*feature, cached.toWgs84.get()));
    }
    const OGRPolygon box = boxOf(area);
    OGREnvelope edges;
    box.getEnvelope(&edges);
    std::vector<Meeting> found;
    for (std::size_t i = 0; i < cached.features.size(); ++i) {
        const CachedFeature& feature = cached.features[i];
        if (!feature.shape || !feature.envelope.Intersects(edges)) continue;
        InsideCounter counter(area);
        feature.shape->accept(&counter);
        // A vertex inside says it without GEOS, which would first copy the
        // whole of a coastline.
        if (counter.inside > 0 || feature.shape->Intersects(&box))
            found.push_back({i, counter.inside});
    }
    return found;
}

CachedFeature* VectorFile::feature(int layer, long long fid) {
    CachedLayer& cached = layers.at(static_cast<std::size_t>(layer));
    if (const auto at = cached.byFid.find(fid); at != cached.byFid.end())
        return &cached.features[at->second];
    if (!cached.indexed) return nullptr;
    ++*reads;
    const OGRFeatureUniquePtr read(cached.indexed->GetFeature(fid));
    if (!read) return nullptr;
    cached.add(keptFeature(*read, cached.toWgs84.get()));
    return &cached.features.back();
}

void checkAhead(CachedFeature& feature) {
    constexpr std::size_t kLarge = std::size_t{4} << 20;  // bytes of WKB, 16 a vertex
    if (feature.shape && feature.shape->WkbSize() >= kLarge)
        feature.checking = std::async(std::launch::async,
                                      [shape = feature.shape.get()] { return checkShape(*shape); });
}

Expected<const OGRGeometry*> tracedShape(CachedFeature& feature, const std::string& layerName) {
    if (const std::string why = untraceable(feature, layerName); !why.empty()) return Error{why};
    if (!feature.checked) {
        ShapeCheck check =
            feature.checking.valid() ? feature.checking.get() : checkShape(*feature.shape);
        feature.checked = true;
        if (!check.valid && !check.repaired) {
            feature.problem = "has an invalid shape that cannot be repaired.";
            return Error{untraceable(feature, layerName)};
        }
        feature.repaired = std::move(check.repaired);
    }
    return feature.repaired ? feature.repaired.get() : feature.shape.get();
}

Expected<std::shared_ptr<VectorFile>> VectorCache::open(const std::string& path,
                                                        const Progress& progress) {
    const FileStamp stamp = stampOf(path);
    for (auto at = files_.begin(); at != files_.end(); ++at) {
        if ((*at)->path != path) continue;
        if (stamp.known && stamp == (*at)->stamp) {
            files_.splice(files_.begin(), files_, at);
            return files_.front();
        }
        files_.erase(at);
        break;
    }
    auto file = readFile(path, progress, reads_);
    if (!file) return file.error();
    if (!stamp.known) return file;
    (*file)->stamp = stamp;
    files_.push_front(*file);
    while (files_.size() > capacity_) files_.pop_back();
    return file;
}

VectorCache& vectorCache() {
    static VectorCache cache;
    return cache;
}

}  // namespace qm4::geo
