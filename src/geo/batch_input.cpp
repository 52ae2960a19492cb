// Reading the batch's input: the layers chosen, a spatial filter on the
// region (which a format with an index of its own answers through it),
// the features kept only where an area needs them, and a terminal line
// that redraws itself while GDAL reads.
#include "geo/batch_input.h"

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "geo/heartbeat.h"
#include "geo/vector_cache.h"
#include "model/numbers.h"

namespace qm4::geo {
namespace {

// What the process has read from files so far (Linux counts it for every
// process); 0 where nothing counts it.
long long bytesRead() {
    std::ifstream io("/proc/self/io");
    for (std::string key; io >> key;) {
        long long bytes = 0;
        if (key == "rchar:" && io >> bytes) return bytes;
    }
    return 0;
}

// "Reading coast.geojson (100 MB): 150 MB read, 120 features, 0:00:14",
// redrawn four times a second on a terminal from the first moment, GDAL's
// opening of the file included (GDAL reads a GeoJSON twice, so the bytes
// read pass the file's size); the last state stays on its own line.
class ReadingLine {
  public:
    ReadingLine(std::ostream& err, const std::string& file)
        : err_(err), name_(std::filesystem::path(file).filename().string()) {
        std::error_code ec;
        size_ = static_cast<long long>(std::filesystem::file_size(file, ec) >> 20);
        if (::isatty(STDERR_FILENO) && err.rdbuf() == std::cerr.rdbuf())
            heartbeat_.emplace(std::chrono::milliseconds(250), [this] { draw(); });
    }
    ~ReadingLine() {
        if (!heartbeat_) return;
        heartbeat_.reset();
        draw();
        err_ << '\n';
    }
    std::atomic<long long> done{0};

  private:
    void draw() {
        const long s = std::lround(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
        char clock[32];
        std::snprintf(clock, sizeof clock, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
        err_ << "\rReading " << name_ << " (" << size_
             << " MB): " << ((bytesRead() - before_) >> 20) << " MB read, " << done << " features, "
             << clock << "  " << std::flush;
    }

    std::ostream& err_;
    std::string name_;
    long long size_ = 0;
    long long before_ = bytesRead();
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::optional<Heartbeat> heartbeat_;
};

// The areas (x0..x1, y0..y1) that a lon/lat envelope comes within an area
// of.
GridRange nearRange(const OGREnvelope& e) {
    return {static_cast<int>(std::floor((e.MinX + 180) / kAreaWidth)) - 1,
            static_cast<int>(std::floor((90 - e.MaxY) / kAreaHeight)) - 1,
            static_cast<int>(std::floor((e.MaxX + 180) / kAreaWidth)) + 2,
            static_cast<int>(std::floor((90 - e.MinY) / kAreaHeight)) + 2};
}

Expected<std::vector<OGRLayer*>> chosenLayers(GDALDataset& dataset, const BatchInput& input) {
    std::vector<OGRLayer*> layers;
    if (input.layer.empty()) {
        for (int l = 0; l < dataset.GetLayerCount(); ++l) layers.push_back(dataset.GetLayer(l));
        return layers;
    }
    OGRLayer* layer = dataset.GetLayerByName(input.layer.c_str());
    const auto number = strictNumber(input.layer);
    if (!layer && number && *number >= 0 && *number < dataset.GetLayerCount())
        layer = dataset.GetLayer(static_cast<int>(*number));
    if (!layer) return Error{"\"" + input.file + "\" has no layer \"" + input.layer + "\"."};
    layers.push_back(layer);
    return layers;
}

}  // namespace

GridRange listedWithin(const AreaList& listed, const GridRange& range) {
    if (listed.empty()) return range;
    GridRange tight{range.x1, range.y1, range.x0, range.y0};
    // Column by column, from the first listed area at or below the range's
    // top to the last one above its bottom.
    for (auto at = listed.lower_bound({range.x0, range.y0});
         at != listed.end() && at->first < range.x1;) {
        const int x = at->first;
        if (at->second < range.y0) {
            at = listed.lower_bound({x, range.y0});
            continue;
        }
        const auto below = listed.lower_bound({x, range.y1});
        if (at != below) {
            tight.x0 = std::min(tight.x0, x), tight.x1 = x + 1;
            tight.y0 = std::min(tight.y0, at->second);
            tight.y1 = std::max(tight.y1, std::prev(below)->second + 1);
        }
        at = listed.lower_bound({x + 1, range.y0});
    }
    return tight.x1 > tight.x0 ? tight : GridRange{range.x0, range.y0, range.x0, range.y0};
}

Expected<std::vector<BatchFeature>> readBatchInput(const BatchInput& input, const GridRange& range,
                                                   const AreaList& listed, std::ostream& err) {
    ReadingLine line(err, input.file);
    auto dataset = openVectorFile(input.file);
    if (!dataset) return dataset.error();
    const QuietGdal quiet;
    const auto layers = chosenLayers(**dataset, input);
    if (!layers) return layers.error();
    const AreaEdges box{90 - range.y0 * kAreaHeight, 90 - range.y1 * kAreaHeight,
                        -180 + range.x0 * kAreaWidth, -180 + range.x1 * kAreaWidth};
    // Read first, each large shape's check begun as it comes, then traced.
    std::vector<std::pair<BatchFeature, CachedFeature>> kept;
    for (OGRLayer* layer : *layers) {
        if (!input.where.empty() && layer->SetAttributeFilter(input.where.c_str()) != OGRERR_NONE)
            return Error{"The filter \"" + input.where + "\" does not fit layer \"" +
                         layer->GetName() + "\": " + CPLGetLastErrorMsg()};
        auto reader = readerFor(layer, box);
        if (!reader) return reader.error();
        if (reader->assumed) err << "Note: " << assumedNote(layer->GetName()) << '\n';
        int index = 0;
        for (int l = 0; l < (*dataset)->GetLayerCount(); ++l)
            if ((*dataset)->GetLayer(l) == layer) index = l;
        for (const auto& read : *layer) {
            ++line.done;
            CachedFeature feature = keptFeature(*read, reader->toWgs84.get());
            if (feature.problem == "has no shape." ||
                (feature.shape && listedWithin(listed, nearRange(feature.envelope)).count() == 0))
                continue;
            checkAhead(feature);
            BatchFeature made{index, layer->GetName(), feature.fid, feature.name, nullptr};
            kept.emplace_back(std::move(made), std::move(feature));
        }
    }
    std::vector<BatchFeature> features;
    for (auto& [made, feature] : kept) {
        const auto shape = tracedShape(feature, made.layerName);
        if (!shape) {
            if (!isPoint(feature)) err << "Passed over: " << shape.error().message << '\n';
            continue;
        }
        made.shape = std::move(feature.repaired ? feature.repaired : feature.shape);
        features.push_back(std::move(made));
    }
    return features;
}

}  // namespace qm4::geo
