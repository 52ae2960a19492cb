// Importing one area's piece of a large coastline: a GeoPackage of 200,000
// vertices in 400 features winding across the cell, made once per run. The
// program's import (list the features that meet the area, then clip the
// chosen one) is timed against GDAL's own ogr2ogr cutting the same area out
// of the same file with -spat and -clipsrc, in the same run; and the same
// import as the window makes it, through the GIS helper process, against
// the import in this process.
#include <benchmark/benchmark.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QCoreApplication>
#include <QJsonArray>

#include "geo/shape_import.h"
#include "ui/geo_helper.h"

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

// The window's import through quillmap4-geo: the features that meet the
// area, then the first one's shape. "first" starts a fresh helper as the
// first GIS command of a session does, "later" reuses the running one;
// both against the same import in this process and one helper start alone.
void BM_ImportThroughTheHelper(benchmark::State& state) {
    const fs::path folder =
        fs::temp_directory_path() / ("qm4-helper-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string path = coastline(folder).string();
    const QJsonObject area{
        {"north", kArea.north}, {"south", kArea.south}, {"west", kArea.west}, {"east", kArea.east}};
    const auto program = [] { return QStringLiteral(QUILLMAP4_GEO_PROGRAM); };
    const auto patience = [] { return 60000; };
    const auto import = [&](GeoHelper& helper) {
        const auto listed = helper.request(
            {{"op", "features"}, {"file", QString::fromStdString(path)}, {"area", area}});
        if (!listed) return false;
        const QJsonObject first = listed->value("features").toArray().at(0).toObject();
        const auto shape = helper.request({{"op", "shape"},
                                           {"file", QString::fromStdString(path)},
                                           {"layer", 0},
                                           {"fid", first.value("id")},
                                           {"area", area}});
        return shape && shape->value("ok").toBool();
    };
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    double first = 0, later = 0, inProcess = 0, start = 0;
    GeoHelper running(program, patience, nullptr);
    if (!import(running)) return state.SkipWithError("the helper could not import");
    for (auto _ : state) {
        auto t0 = Clock::now();
        {
            GeoHelper fresh(program, patience, nullptr);
            if (!fresh.request({{"op", "hello"}})) return state.SkipWithError("no helper");
        }
        auto t1 = Clock::now();
        {
            GeoHelper fresh(program, patience, nullptr);
            if (!import(fresh)) return state.SkipWithError("the first import failed");
        }
        auto t2 = Clock::now();
        if (!import(running)) return state.SkipWithError("a later import failed");
        auto t3 = Clock::now();
        const auto list = qm4::geo::listFeatures(path, kArea, {});
        const auto shape = qm4::geo::featureShape(path, 0, list->features.front().id, kArea, 0);
        if (!shape) return state.SkipWithError("the import in this process failed");
        auto t4 = Clock::now();
        start += ms(t1 - t0), first += ms(t2 - t1), later += ms(t3 - t2), inProcess += ms(t4 - t3);
        state.SetIterationTime(std::chrono::duration<double>(t3 - t2).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["start_ms"] = start / n;
    state.counters["first_ms"] = first / n;
    state.counters["later_ms"] = later / n;
    state.counters["in_process_ms"] = inProcess / n;
    // Goals: first at most 1.5x the import here plus one start, later at most 1.3x.
    state.counters["first_to_goal"] = first / (1.5 * inProcess + start);
    state.counters["later_ratio"] = later / inProcess;
    fs::remove_all(folder);
}
BENCHMARK(BM_ImportThroughTheHelper)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the helper's replies come through its event loop
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
