// The vector files the helper has read, kept so that the next request on
// the same file reads nothing again: each feature's name, type, envelope
// and shape in WGS 84 longitude/latitude. A layer whose format has a
// spatial index of its own (GeoPackage, FlatGeobuf, a shapefile with its
// index) is not read whole: the open file is asked through its index, and
// the features it gave last are kept. A few files are kept, the least
// recently used let go first; a file changed on disk (size or time) is
// read again. Used from one thread.
#pragma once

#include <cstddef>
#include <future>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "geo/ogr_support.h"
#include "geo/shape_import.h"

namespace qm4::geo {

// A shape's check: valid by GEOS's rules, or else repaired (null when it
// cannot be).
struct ShapeCheck {
    bool valid = true;
    Geometry repaired;
};

struct CachedFeature {
    long long fid = 0;
    std::string name;          // its name field, when it has one
    std::string geometryType;  // "Multi Polygon"
    OGREnvelope envelope;      // of the shape below
    // In WGS 84 as read; null when the feature has none, an empty one, or
    // one that cannot be placed on the globe (problem says which).
    Geometry shape;
    std::string problem;
    // Made from shape on the first request that traces it, and kept: the
    // shape repaired, or null while it needs no repair.
    Geometry repaired;
    bool checked = false;
    // A large shape's check, begun while the rest of the file is read;
    // after the shape, so that it ends before the shape goes.
    std::future<ShapeCheck> checking;
};

// Begins the check of a shape of a quarter of a million vertices or more
// on a thread of its own: GEOS takes seconds over a coastline, which the
// reading of the rest of the file can hide.
void checkAhead(CachedFeature& feature);

// The feature as kept: its shape taken from the read feature and brought
// to WGS 84 (toWgs84 null: it is already).
CachedFeature keptFeature(OGRFeature& read, const OGRCoordinateTransformation* toWgs84);

bool isPoint(const CachedFeature& feature);

// Why a feature's shape cannot be traced; empty when it can.
std::string untraceable(const CachedFeature& feature, const std::string& layerName);

// The shape to trace: the shape itself, or once repaired when it is
// invalid; fails, saying which feature, on one that cannot be traced or
// repaired.
Expected<const OGRGeometry*> tracedShape(CachedFeature& feature, const std::string& layerName);

struct CachedLayer {
    std::string name;
    bool assumed = false;  // the layer declares no coordinate system
    // Read whole; for an indexed layer the features its last query gave.
    std::vector<CachedFeature> features;
    std::unordered_map<long long, std::size_t> byFid;
    OGRLayer* indexed = nullptr;  // asked through its own index
    std::unique_ptr<OGRCoordinateTransformation> toWgs84;

    void add(CachedFeature feature);
    void clear();
};

// What tells a changed file: its size, time and inode. A path that is no
// file of the disk (/vsizip/...) is not known, and read again every time.
struct FileStamp {
    bool known = false;
    std::uintmax_t size = 0;
    long long seconds = 0, nanoseconds = 0, inode = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class VectorFile {
  public:
    std::string path;
    FileStamp stamp;
    GDALDatasetUniquePtr dataset;  // kept open while a layer is indexed
    std::vector<CachedLayer> layers;
    long long* reads = nullptr;  // the cache's count

    // The features of the layer that meet the area (envelopes first, then
    // the shapes), as indices into the layer's features, with their
    // vertices inside the area. An indexed layer is asked again, through
    // its index.
    struct Meeting {
        std::size_t index = 0;
        int inside = 0;
    };
    Expected<std::vector<Meeting>> meeting(int layer, const AreaEdges& area);
    // The feature, from memory, or through the index when an indexed layer
    // did not give it last; null when the layer has no such feature.
    CachedFeature* feature(int layer, long long fid);
};

class VectorCache {
  public:
    explicit VectorCache(std::size_t files = 3) : capacity_(files) {}

    // The file as read before when it has not changed on disk, otherwise
    // read now (progress from 0 to 1; false cancels).
    Expected<std::shared_ptr<VectorFile>> open(const std::string& path, const Progress& progress);

    // Files opened and read (a feature fetched through an index counts as
    // a read too): what a request costs the disk.
    long long reads() const { return reads_; }
    std::size_t held() const { return files_.size(); }

  private:
    std::size_t capacity_;
    std::list<std::shared_ptr<VectorFile>> files_;  // the most recently used first
    long long reads_ = 0;
};

// The helper's files, kept for its whole run.
VectorCache& vectorCache();

}  // namespace qm4::geo
