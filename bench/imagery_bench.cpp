// Cutting the harbour's area from a large orthophoto: a tiled RGB GeoTIFF of
// 10,000 x 10,000 pixels over the nine cells around it (about 10 m a pixel),
// made once and kept in the temporary folder between runs. The program's cut
// is timed against GDAL's own gdalwarp process cutting the same extent at the
// same size from the same file, in the same run; the second benchmark's
// "ratio" counter is the first's time over its own.
#include <benchmark/benchmark.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "geo/imagery.h"

namespace {

namespace fs = std::filesystem;
const qm4::AreaEdges kArea{47.5048828125, 47.493896484375, -122.2705078125, -122.255859375};
constexpr int kSide = 10000;

// The orthophoto, made on the first call: cells 122 to 124 west to east and
// 119 to 121 north to south, with a pattern and a grain that change every
// pixel, so that no tile is constant.
const std::string& orthophoto() {
    static const std::string path = [] {
        const fs::path folder = fs::temp_directory_path() / "quillmap4-bench";
        const fs::path file = folder / "orthophoto-10000.tif";
        GDALAllRegister();
        if (GDALDatasetUniquePtr(GDALDataset::Open(file.c_str(), GDAL_OF_RASTER)))
            return file.string();
        fs::create_directories(folder);
        const fs::path partial = folder / "orthophoto-10000.tif.partial";
        const char* options[] = {"TILED=YES", "COMPRESS=DEFLATE", "PREDICTOR=2", "PHOTOMETRIC=RGB",
                                 nullptr};
        GDALDatasetUniquePtr tiff(GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
            partial.c_str(), kSide, kSide, 3, GDT_Byte, const_cast<char**>(options)));
        const double west = -180 + 122 * qm4::kCellWidth, north = 90 - 119 * qm4::kCellHeight;
        double transform[6] = {west, 3 * qm4::kCellWidth / kSide,  0, north,
                               0,    -3 * qm4::kCellHeight / kSide};
        tiff->SetGeoTransform(transform);
        OGRSpatialReference wgs;
        wgs.SetWellKnownGeogCS("WGS84");
        tiff->SetSpatialRef(&wgs);
        constexpr int kRows = 256;
        std::vector<GByte> strip(static_cast<std::size_t>(kSide) * kRows * 3);
        for (int top = 0; top < kSide; top += kRows) {
            const int rows = std::min(kRows, kSide - top);
            for (int j = 0; j < rows; ++j) {
                for (int i = 0; i < kSide; ++i) {
                    GByte* at = &strip[(static_cast<std::size_t>(j) * kSide + i) * 3];
                    const int y = top + j;
                    const int grain = (i * 7 ^ y * 13) & 7;
                    at[0] = static_cast<GByte>(((i ^ y) >> 3) + grain);
                    at[1] = static_cast<GByte>(((i + 2 * y) >> 4) + grain);
                    at[2] = static_cast<GByte>(((i >> 5) * (y >> 5) >> 2) + grain);
                }
            }
            if (tiff->RasterIO(GF_Write, 0, top, kSide, rows, strip.data(), kSide, rows, GDT_Byte,
                               3, nullptr, 3, 3 * kSide, 1, nullptr) != CE_None)
                std::abort();
        }
        tiff.reset();
        fs::rename(partial, file);
        return file.string();
    }();
    return path;
}

fs::path outputFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("qm4-imagery-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    return folder;
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The program's time per cut at each size, for the gdalwarp benchmark's ratio.
std::map<int, double>& cutSeconds() {
    static std::map<int, double> seconds;
    return seconds;
}

void BM_CutImagery(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const std::string& raster = orthophoto();
    const fs::path folder = outputFolder();
    const std::string out = (folder / "cut.png").string();
    // The helper process registers GDAL's drivers once; so does this warm-up.
    if (!qm4::geo::cutImagery(raster, kArea, size, out)) return state.SkipWithError("no cut");
    const auto start = Clock::now();
    for (auto _ : state) {
        if (!qm4::geo::cutImagery(raster, kArea, size, out)) return state.SkipWithError("no cut");
    }
    cutSeconds()[size] = secondsSince(start) / static_cast<double>(state.iterations());
    fs::remove_all(folder);
}

void BM_GdalwarpProcess(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const std::string& raster = orthophoto();
    const fs::path folder = outputFolder();
    const double halfX = qm4::kAreaWidth / qm4::kAreaPixelSteps / 2;
    const double halfY = qm4::kAreaHeight / qm4::kAreaPixelSteps / 2;
    char extent[160];
    std::snprintf(extent, sizeof extent, "%.17g %.17g %.17g %.17g", kArea.west - halfX,
                  kArea.south - halfY, kArea.east + halfX, kArea.north + halfY);
    const std::string command = "gdalwarp -q -overwrite -te " + std::string(extent) + " -ts " +
                                std::to_string(size) + " " + std::to_string(size) + " " + raster +
                                " " + (folder / "cut.tif").string() + " >/dev/null 2>&1";
    const auto start = Clock::now();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) return state.SkipWithError("gdalwarp failed");
    }
    const double seconds = secondsSince(start) / static_cast<double>(state.iterations());
    if (cutSeconds().contains(size)) state.counters["ratio"] = cutSeconds()[size] / seconds;
    fs::remove_all(folder);
}

}  // namespace

BENCHMARK(BM_CutImagery)->Arg(256)->Arg(1024)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GdalwarpProcess)->Arg(256)->Arg(1024)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
