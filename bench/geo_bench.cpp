// Importing one area's piece of a large coastline: a GeoPackage of 200,000
// vertices in 400 features winding across the cell, made once per run. The
// program's import (list the features that meet the area, then clip the
// chosen one) is timed against GDAL's own ogr2ogr cutting the same area out
// of the same file with -spat and -clipsrc, in the same run.
#include <benchmark/benchmark.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "geo/shape_import.h"

namespace {

namespace fs = std::filesystem;
const qm4::AreaEdges kArea{47.5048828125, 47.493896484375, -122.2705078125, -122.255859375};

fs::path coastline(const fs::path& folder) {
    const fs::path path = folder / "coast.gpkg";
    GDALAllRegister();
    GDALDatasetUniquePtr file(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
        path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference wgs;
    wgs.SetWellKnownGeogCS("WGS84");
    OGRLayer* layer = file->CreateLayer("coast", &wgs, wkbLineString, nullptr);
    if (layer->StartTransaction() != OGRERR_NONE) std::abort();
    // 400 strands from west to east across the cell, each 500 vertices,
    // wandering north and south through the harbour's area.
    for (int strand = 0; strand < 400; ++strand) {
        OGRLineString line;
        for (int i = 0; i < 500; ++i) {
            const double lon = -122.5 + 0.46875 * i / 499.0;
            const double lat =
                47.3 + 0.3515625 * strand / 400.0 + 0.004 * std::sin(i * 0.3 + strand);
            line.addPoint(lon, lat);
        }
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetGeometry(&line);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) std::abort();
    }
    if (layer->CommitTransaction() != OGRERR_NONE) std::abort();
    return path;
}

void BM_ImportAgainstOgr2ogr(benchmark::State& state) {
    const fs::path folder =
        fs::temp_directory_path() / ("qm4-geo-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string path = coastline(folder).string();
    const fs::path cut = folder / "cut.gpkg";
    char bounds[160];
    std::snprintf(bounds, sizeof bounds, "%.12f %.12f %.12f %.12f", kArea.west, kArea.south,
                  kArea.east, kArea.north);
    const std::string ogr2ogr = "ogr2ogr -f GPKG -spat " + std::string(bounds) + " -clipsrc " +
                                bounds + " " + cut.string() + " " + path + " >/dev/null 2>&1";
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, theirs{};
    std::size_t pieces = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto list = qm4::geo::listFeatures(path, kArea, {});
        if (!list || list->features.empty()) return state.SkipWithError("nothing in the area");
        const auto shape = qm4::geo::featureShape(path, 0, list->features.front().id, kArea, 0);
        pieces += shape ? shape->pieces.size() : 0;
        const auto imported = Clock::now();
        fs::remove(cut);
        if (std::system(ogr2ogr.c_str()) != 0) return state.SkipWithError("ogr2ogr failed");
        const auto end = Clock::now();
        ours += imported - start;
        theirs += end - imported;
        state.SetIterationTime(std::chrono::duration<double>(imported - start).count());
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["pieces"] = static_cast<double>(pieces) / iterations;
    state.counters["ogr2ogr_ms"] =
        std::chrono::duration<double, std::milli>(theirs).count() / iterations;
    state.counters["ratio"] =
        std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(theirs).count();
    fs::remove_all(folder);
}
BENCHMARK(BM_ImportAgainstOgr2ogr)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
