// The batch on a generated coastline: one line of 1,000,000 vertices that
// snakes over 32 rows of 80 areas, wiggling, so that it crosses all 2,560
// of them, made once per run. Timed in the same run against ogr2ogr cutting
// the whole region out of the same file once, and against the loop an
// author would script (ogr2ogr -clipsrc once per area), timed on a sample
// of the areas and taken for all of them. Also --jobs 2 against --jobs 1,
// and the peak resident memory of a batch over a quarter of the rows
// against one over all of them. The batch and ogr2ogr run as programs.
#include <benchmark/benchmark.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "model/area_grid.h"
#include "program_run.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 32, kColumns = 80, kVertices = 1000000;
// The region's north-west corner: cell 123, 120 (the README's harbour).
constexpr int kFirstX = 123 * 32, kFirstY = 120 * 32;

double lonOf(double x) { return -180 + (kFirstX + x) * qm4::kAreaWidth; }
double latOf(double y) { return 90 - (kFirstY + y) * qm4::kAreaHeight; }

struct Bench {
    fs::path folder = fs::temp_directory_path() / ("qm4-batch-bench-" + std::to_string(getpid()));
    std::string coast;
    Bench() {
        fs::create_directories(folder);
        coast = (folder / "coast.gpkg").string();
        GDALAllRegister();
        GDALDatasetUniquePtr file(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
            coast.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        OGRSpatialReference wgs;
        wgs.SetWellKnownGeogCS("WGS84");
        OGRLayer* layer = file->CreateLayer("coast", &wgs, wkbLineString, nullptr);
        OGRLineString line;
        line.setNumPoints(kVertices, FALSE);
        const int perRow = kVertices / kRows;
        for (int i = 0; i < kVertices; ++i) {
            const int row = i / perRow;
            const double t = double(i % perRow) / perRow;
            const double along = 0.3 + (kColumns - 0.6) * (row % 2 ? 1 - t : t);
            const double across =
                row + 0.5 + 0.3 * std::sin(along * 3.1) + 0.05 * std::sin(along * 41);
            line.setPoint(i, lonOf(along), latOf(across));
        }
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetGeometry(&line);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) std::abort();
    }
    ~Bench() { fs::remove_all(folder); }
    // SOUTH,WEST,NORTH,EAST of the first rows.
    std::string region(int rows) const {
        char text[160];
        std::snprintf(text, sizeof text, "%.12f,%.12f,%.12f,%.12f", latOf(rows), lonOf(0), latOf(0),
                      lonOf(kColumns));
        return text;
    }
};

const Bench& bench() {
    static const Bench made;
    return made;
}

using Measured = ProgramRun;

Measured run(const std::string& command) { return runProgram(command); }

std::string batchCommand(int rows, int jobs) {
    const fs::path out = bench().folder / "out";
    fs::remove_all(out);
    return std::string(QUILLMAP4_GEO_PROGRAM) + " batch " + bench().coast + " --region " +
           bench().region(rows) + " --out " + out.string() +
           " --altitude 0 --vector-type 1 --vtp-layer 1 --width 2 --tolerance 0.5 --jobs " +
           std::to_string(jobs);
}

std::string ogr2ogr(const std::string& bounds, const fs::path& cut) {
    fs::remove(cut);
    return "ogr2ogr -f GPKG -spat " + bounds + " -clipsrc " + bounds + " " + cut.string() + " " +
           bench().coast;
}

std::string boundsOf(double west, double south, double east, double north) {
    char text[160];
    std::snprintf(text, sizeof text, "%.12f %.12f %.12f %.12f", west, south, east, north);
    return text;
}

// The whole batch (every area's projects and sources written) against one
// ogr2ogr pass over the region, and against the per-area loop.
void BM_BatchAgainstOgr2ogr(benchmark::State& state) {
    const std::string whole = boundsOf(lonOf(0), latOf(kRows), lonOf(kColumns), latOf(0));
    double ours = 0, once = 0, perArea = 0;
    constexpr int kSample = 24;
    std::size_t areas = 0;
    for (auto _ : state) {
        const Measured batch = run(batchCommand(kRows, 1));
        areas = 0;
        for (const auto& entry : fs::directory_iterator(bench().folder / "out"))
            areas += entry.is_directory() && entry.path().filename().string().size() == 13;
        const Measured cut = run(ogr2ogr(whole, bench().folder / "cut.gpkg"));
        double loop = 0;
        for (int k = 0; k < kSample; ++k) {
            const int x = k * 7 % kColumns, y = k % kRows;
            loop += run(ogr2ogr(boundsOf(lonOf(x), latOf(y + 1), lonOf(x + 1), latOf(y)),
                                bench().folder / "area.gpkg"))
                        .seconds;
        }
        ours += batch.seconds;
        once += cut.seconds;
        perArea += loop / kSample;
        state.SetIterationTime(batch.seconds);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["areas"] = static_cast<double>(areas);
    state.counters["batch_s"] = ours / n;
    state.counters["ogr2ogr_once_s"] = once / n;
    state.counters["ogr2ogr_per_area_s"] = perArea / n;
    state.counters["ratio_to_once"] = ours / once;
    state.counters["loop_over_batch"] = perArea / n * static_cast<double>(areas) / (ours / n);
}
BENCHMARK(BM_BatchAgainstOgr2ogr)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);

// Each run's processor time (user and system) too: both runs need about
// the same, so two jobs gain only as much as the machine leaves them a
// second core.
void BM_TwoJobsAgainstOne(benchmark::State& state) {
    double one = 0, two = 0, oneCpu = 0, twoCpu = 0;
    for (auto _ : state) {
        const Measured first = run(batchCommand(kRows, 1));
        const Measured second = run(batchCommand(kRows, 2));
        one += first.seconds, oneCpu += first.cpuSeconds;
        two += second.seconds, twoCpu += second.cpuSeconds;
        state.SetIterationTime(second.seconds);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["jobs1_s"] = one / n;
    state.counters["jobs2_s"] = two / n;
    state.counters["jobs1_cpu_s"] = oneCpu / n;
    state.counters["jobs2_cpu_s"] = twoCpu / n;
    state.counters["speedup"] = one / two;
}
BENCHMARK(BM_TwoJobsAgainstOne)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(3);

void BM_MemoryAsTheRegionGrows(benchmark::State& state) {
    long quarter = 0, all = 0;
    for (auto _ : state) {
        quarter = std::max(quarter, run(batchCommand(kRows / 4, 1)).peakKilobytes);
        const Measured whole = run(batchCommand(kRows, 1));
        all = std::max(all, whole.peakKilobytes);
        state.SetIterationTime(whole.seconds);
    }
    state.counters["quarter_MB"] = static_cast<double>(quarter) / 1024;
    state.counters["all_MB"] = static_cast<double>(all) / 1024;
    state.counters["ratio"] = static_cast<double>(all) / static_cast<double>(quarter);
}
BENCHMARK(BM_MemoryAsTheRegionGrows)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
