// Files read once: the reads each request costs the helper (none for the
// shape after the features, none for the next area, one for a file changed
// on disk or let go as the oldest), the heartbeat that keeps a long request
// heard, and the batch's input kept only where its areas need it.
#include <gdal_utils.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

#include "geo/batch.h"
#include "geo/batch_input.h"
#include "geo/geo_requests.h"
#include "geo/heartbeat.h"
#include "geo/vector_cache.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Folder {
    fs::path path = fs::temp_directory_path() / ("qm4cache-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
};

// The README's harbour area, by its place in the grid.
constexpr int kX = 123 * 32 + 5, kY = 120 * 32 + 28;

// A GeoJSON of squares, each a third of an area wide, in the middle of the
// area that many areas east and south of the harbour's.
std::string squares(const std::vector<std::pair<int, int>>& offsets) {
    std::string text = R"({"type":"FeatureCollection","features":[)";
    for (const auto& [dx, dy] : offsets) {
        const AreaEdges a = gridAreaEdges({kX + dx, kY + dy});
        std::string ring;
        for (const auto& [x, y] : {std::pair{1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}})
            ring += std::string(ring.empty() ? "" : ",") + "[" +
                    jsonNumber(a.west + x * kAreaWidth / 3) + "," +
                    jsonNumber(a.north - y * kAreaHeight / 3) + "]";
        text +=
            std::string(text.back() == '[' ? "" : ",") +
            R"({"type":"Feature","properties":{},"geometry":{"type":"Polygon","coordinates":[[)" +
            ring + "]]}}";
    }
    return text + "]}";
}

// Written as GeoJSON, or as a GeoPackage (with its spatial index) when the
// name says so.
void write(const fs::path& file, const std::vector<std::pair<int, int>>& offsets) {
    const fs::path json = file.extension() == ".gpkg" ? fs::path(file).concat(".json") : file;
    std::ofstream(json) << squares(offsets);
    if (json == file) return;
    GDALAllRegister();
    GDALDatasetH source = GDALOpenEx(json.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
    GDALDatasetH made = GDALVectorTranslate(file.c_str(), nullptr, 1, &source, nullptr, nullptr);
    GDALClose(made);
    GDALClose(source);
}

// f: the features of the harbour's area; n: of the next area, 5 to the
// east; s: the shape of the first feature f listed; g: the file written
// again with a second square in the harbour's area; t: its time set later.
struct Step {
    char op;
    int file;               // files <row>_0, <row>_1, ...
    long long reads;        // what the step costs the disk
    std::size_t found = 0;  // features listed (f and n)
};

struct CacheCase {
    const char* name;
    const char* extension;
    std::vector<Step> steps;
};

void PrintTo(const CacheCase& c, std::ostream* os) { *os << c.name; }

class Reads : public testing::TestWithParam<CacheCase> {};

TEST_P(Reads, AreWhatEachRequestCosts) {
    Folder folder;
    const auto path = [&](int file) {
        return folder.path / (GetParam().name + std::to_string(file) + GetParam().extension);
    };
    const AreaEdges harbour = gridAreaEdges({kX, kY}), next = gridAreaEdges({kX + 5, kY});
    for (int file = 0; file < 4; ++file) write(path(file), {{0, 0}, {5, 0}});
    long long first = -1;
    for (const Step& step : GetParam().steps) {
        const std::string file = path(step.file).string();
        const long long before = vectorCache().reads();
        if (step.op == 'g') write(file, {{0, 0}, {5, 0}, {0, 0}});
        if (step.op == 't') fs::last_write_time(file, fs::last_write_time(file) + 2s);
        if (step.op == 'f' || step.op == 'n') {
            const auto list = listFeatures(file, step.op == 'f' ? harbour : next, {});
            ASSERT_TRUE(list.ok()) << list.error().message;
            ASSERT_EQ(list->features.size(), step.found) << step.op << step.file;
            if (step.op == 'f') first = list->features[0].id;
        }
        if (step.op == 's') {
            EXPECT_TRUE(featureShape(file, 0, first, harbour, 0).ok());
        }
        EXPECT_EQ(vectorCache().reads() - before, step.reads) << step.op << step.file;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Reads,
    testing::Values(
        CacheCase{"ShapeAndNextAreaReadNothing",
                  ".geojson",
                  {{'f', 0, 1, 1}, {'s', 0, 0}, {'n', 0, 0, 1}, {'s', 0, 0}, {'f', 0, 0, 1}}},
        CacheCase{"IndexedFileIsAskedThroughItsIndex",
                  ".gpkg",
                  {{'f', 0, 2, 1}, {'s', 0, 0}, {'n', 0, 1, 1}, {'s', 0, 1}}},
        CacheCase{"GrownFileIsReadAgain",
                  ".geojson",
                  {{'f', 0, 1, 1}, {'g', 0, 0}, {'f', 0, 1, 2}, {'s', 0, 0}}},
        CacheCase{"TouchedFileIsReadAgain",
                  ".geojson",
                  {{'f', 0, 1, 1}, {'t', 0, 0}, {'n', 0, 1, 1}, {'f', 0, 0, 1}}},
        CacheCase{"OldestOfFourIsLetGo",
                  ".geojson",
                  {{'f', 0, 1, 1},
                   {'f', 1, 1, 1},
                   {'f', 2, 1, 1},
                   {'f', 3, 1, 1},
                   {'f', 1, 0, 1},
                   {'f', 0, 1, 1},
                   {'f', 3, 0, 1},
                   {'f', 2, 1, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A line for each hundredth reported, never falling; the last part again
// after each quiet pace; none after the end.
TEST(ProgressLines, ComeForEachHundredthAndWhileQuiet) {
    std::mutex mutex;
    std::vector<std::string> lines;
    const ProgressLines::Sink sink = [&](const std::string& line) {
        const std::lock_guard lock(mutex);
        lines.push_back(line);
    };
    {
        ProgressLines progress(7, sink, 1h);
        for (const double part : {0.005, 0.3, 0.305, 0.2, 1.0}) progress.report(part);
    }
    EXPECT_EQ(lines,
              (std::vector<std::string>{R"({"id":7,"progress":0.3})", R"({"id":7,"progress":1})"}));
    lines.clear();
    {
        ProgressLines progress(8, sink, 20ms);
        progress.report(0.5);
        std::this_thread::sleep_for(600ms);
    }
    const std::size_t seen = lines.size();
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(lines.size(), seen);
    ASSERT_GE(seen, 3u);
    for (const std::string& line : lines) EXPECT_EQ(line, R"({"id":8,"progress":0.5})");
}

// Run on a terminal, the batch shows its read.
TEST(BatchInputs, ReadIsShownOnATerminal) {
    Folder folder;
    const fs::path file = folder.path / "three.geojson";
    write(file, {{0, 0}, {20, 15}, {40, 30}});
    const std::string command = "script -qec '" QUILLMAP4_GEO_PROGRAM " batch " + file.string() +
                                " --region 47.49,-122.28,47.51,-122.24 --out " +
                                (folder.path / "out").string() +
                                " --land --altitude 1 --line --vector-type 1 --vtp-layer 4 "
                                "--width 1' /dev/null < /dev/null";
    FILE* terminal = popen(command.c_str(), "r");
    ASSERT_TRUE(terminal);
    std::string shown;
    for (char buffer[4096]; std::fgets(buffer, sizeof buffer, terminal);) shown += buffer;
    EXPECT_EQ(pclose(terminal), 0) << shown;
    EXPECT_NE(shown.find("\rReading three.geojson (0 MB): 0 MB read, 1 features, 0:00:0"),
              std::string::npos)
        << shown;
}

// A ring inside the area keeps its points in their order, first point and
// direction included; one that reaches beyond it is cut.
TEST(Shapes, WithinTheAreaKeepTheirOrder) {
    Folder folder;
    const AreaEdges a = gridAreaEdges({kX, kY});
    std::string ring;
    for (const auto& [x, y] : {std::pair{170, 170}, {170, 85}, {85, 85}, {85, 170}, {170, 170}}) {
        const LatLon p = pixelToLatLon(a, x, y);
        ring += std::string(ring.empty() ? "" : ",") + "[" + jsonNumber(p.lon) + "," +
                jsonNumber(p.lat) + "]";
    }
    const fs::path file = folder.path / "ring.geojson";
    std::ofstream(file) << R"({"type":"FeatureCollection","features":[{"type":"Feature",)"
                        << R"("properties":{},"geometry":{"type":"Polygon","coordinates":[[)"
                        << ring << "]]}}]}";
    const auto kept = featureShape(file.string(), 0, 0, a, 0);
    ASSERT_TRUE(kept.ok()) << kept.error().message;
    EXPECT_EQ(std::lround(kept->pieces.at(0).at(0).x), 170);
    EXPECT_EQ(std::lround(kept->pieces.at(0).at(1).y), 85);
    const auto cut = featureShape(file.string(), 0, 0, gridAreaEdges({kX + 1, kY}), 0);
    EXPECT_FALSE(cut.ok());
}

// Lines are checked without GEOS, by GEOS's own rule: a shape is repaired
// exactly when GEOS finds it invalid.
class Repairs : public testing::TestWithParam<const char*> {};

TEST_P(Repairs, FollowGeosOwnCheck) {
    OGRGeometry* read = nullptr;
    ASSERT_EQ(OGRGeometryFactory::createFromWkt(GetParam(), nullptr, &read), OGRERR_NONE);
    CachedFeature feature;
    feature.geometryType = "Line String";
    feature.shape.reset(read);
    const bool valid = feature.shape->IsValid();
    EXPECT_EQ(tracedShape(feature, "x").ok(), true);
    EXPECT_EQ(feature.repaired == nullptr, valid);
    EXPECT_EQ(tracedShape(feature, "x").value(), valid ? read : feature.repaired.get());
}

INSTANTIATE_TEST_SUITE_P(Rows, Repairs,
                         testing::Values("LINESTRING (0 0,1 1)", "LINESTRING (0 0,0 0)",
                                         "LINESTRING (0 0,0 0,1 0)", "LINESTRING (0 0,1 0,0 0)",
                                         "MULTILINESTRING ((0 0,0 0))",
                                         "MULTILINESTRING ((0 0,1 1),(2 2,2 2))",
                                         "MULTILINESTRING ((0 0,1 1),(2 2,3 2))",
                                         "POLYGON ((0 0,1 1,1 0,0 1,0 0))",
                                         "POLYGON ((0 0,1 0,1 1,0 0))"));

// A large shape's check begins at once, and its answer is the one traced:
// a line whose points all coincide is repaired.
TEST(Repairs, OfLargeShapesBeginAhead) {
    for (const int vertices : {1000, 300000}) {
        auto line = std::make_unique<OGRLineString>();
        line->setNumPoints(vertices);
        CachedFeature feature;
        feature.geometryType = "Line String";
        feature.shape = std::move(line);
        checkAhead(feature);
        EXPECT_EQ(feature.checking.valid(), vertices > 1000);
        EXPECT_TRUE(tracedShape(feature, "x").ok());
        EXPECT_NE(feature.repaired, nullptr);
    }
}

struct ListCase {
    const char* name;
    AreaList listed;
    GridRange range;
    GridRange within;  // x0, y0, x1, y1
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class Listed : public testing::TestWithParam<ListCase> {};

TEST_P(Listed, AreBoundedInTheirRange) {
    const GridRange got = listedWithin(GetParam().listed, GetParam().range),
                    &want = GetParam().within;
    EXPECT_EQ(std::tie(got.x0, got.y0, got.x1, got.y1),
              std::tie(want.x0, want.y0, want.x1, want.y1));
}

const AreaList kTwo{{5, 5}, {9, 2}};

INSTANTIATE_TEST_SUITE_P(
    Rows, Listed,
    testing::Values(
        ListCase{"NoListTakesAll", {}, {0, 0, 1, 1}, {0, 0, 1, 1}},
        ListCase{"BothInside", kTwo, {0, 0, 10, 10}, {5, 2, 10, 6}},
        ListCase{"ColumnsBetween", kTwo, {6, 0, 9, 10}, {6, 0, 6, 0}},
        ListCase{"AboveTheRange", kTwo, {9, 3, 10, 10}, {9, 3, 9, 3}},
        ListCase{"OneCell", kTwo, {9, 2, 10, 3}, {9, 2, 10, 3}},
        ListCase{"BelowBoth", kTwo, {0, 6, 10, 10}, {0, 6, 0, 6}},
        ListCase{"PastTheLast", kTwo, {10, 0, 20, 10}, {10, 0, 10, 0}},
        ListCase{"SecondColumn", kTwo, {4, 0, 10, 4}, {9, 2, 10, 3}},
        ListCase{"OneColumnCut", {{3, 1}, {3, 4}, {3, 8}, {7, 9}}, {0, 2, 10, 9}, {3, 4, 4, 9}}),
    [](const auto& info) { return std::string(info.param.name); });

// Three squares: by the harbour, 40 areas east and 30 south, and halfway.
struct InputCase {
    const char* name;
    AreaList listed;  // as offsets from the harbour
    std::vector<long long> kept;
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

class BatchInputs : public testing::TestWithParam<InputCase> {};

TEST_P(BatchInputs, KeepWhatTheAreasNeed) {
    Folder folder;
    const fs::path file = folder.path / "three.geojson";
    write(file, {{0, 0}, {20, 15}, {40, 30}});
    AreaList listed;
    for (const auto& [dx, dy] : GetParam().listed) listed.insert({kX + dx, kY + dy});
    std::ostringstream err;
    const auto read =
        readBatchInput({file.string(), "", ""}, {kX - 1, kY - 1, kX + 41, kY + 31}, listed, err);
    ASSERT_TRUE(read.ok()) << read.error().message;
    std::vector<long long> kept;
    for (const BatchFeature& f : *read) kept.push_back(f.fid);
    EXPECT_EQ(kept, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Rows, BatchInputs,
                         testing::Values(InputCase{"WholeRegion", {}, {0, 1, 2}},
                                         InputCase{"FarApart", {{0, 0}, {40, 30}}, {0, 2}},
                                         InputCase{"OneArea", {{40, 30}}, {2}},
                                         InputCase{"NoneNear", {{10, 25}}, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Two areas far apart make exactly their folders.
TEST(BatchInputs, AreasFarApartAreWritten) {
    Folder folder;
    const fs::path file = folder.path / "three.geojson";
    write(file, {{0, 0}, {20, 15}, {40, 30}});
    const auto name = [](int x, int y) {
        char text[32];
        std::snprintf(text, sizeof text, "%03d_%03d_%02d_%02d", x / 32, y / 32, x % 32, y % 32);
        return std::string(text);
    };
    std::ofstream(folder.path / "areas.txt") << name(kX, kY) << '\n'
                                             << name(kX + 40, kY + 30) << '\n';
    std::ostringstream out, err;
    ASSERT_EQ(runBatch({file.string(), "--areas", (folder.path / "areas.txt").string(), "--out",
                        (folder.path / "out").string(), "--land", "--altitude", "12", "--line",
                        "--vector-type", "1030", "--vtp-layer", "4", "--width", "12"},
                       out, err),
              0)
        << err.str();
    std::set<std::string> made;
    for (const auto& entry : fs::directory_iterator(folder.path / "out"))
        if (entry.is_directory()) made.insert(entry.path().filename().string());
    EXPECT_EQ(made, (std::set<std::string>{name(kX, kY), name(kX + 40, kY + 30)}));
}

}  // namespace
}  // namespace qm4::geo
