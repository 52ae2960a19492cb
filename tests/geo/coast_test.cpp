// The batch on a coast like the real thing (made by make_coast.py): land over
// many areas with a ragged coast, fjords narrower than a pixel, lakes,
// islands, slivers and a polygon that covers an area whole. Checked on every
// area of the region: the land traced against the data's, every ring valid
// on the pixel grid, the shoreline in VTP lines and off the area's edges, and
// batch.csv against the folders.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "capture/point_lines.h"
#include "geo/batch.h"
#include "geo/batch_area.h"
#include "project/batch_summary.h"
#include "project/points_file.h"
#include "textio/text_file.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;
using Pixels = std::vector<TracePoint>;
using Segment = std::pair<std::pair<int, int>, std::pair<int, int>>;  // the smaller end first

constexpr int kCornerX = 123 * 32 + 2, kCornerY = 120 * 32 + 22, kSide = 10;

bool alongEdge(TracePoint a, TracePoint b) {
    return (a.x == b.x && (a.x == 0 || a.x == 255)) || (a.y == b.y && (a.y == 0 || a.y == 255));
}

Segment segment(TracePoint a, TracePoint b) {
    return std::minmax(std::pair{a.x, a.y}, std::pair{b.x, b.y});
}

// What the projects of one area hold.
struct Traced {
    double land = 0;  // land rings less water rings, in areas
    std::vector<Pixels> rings;
    std::set<Segment> vtp;
};

std::string bytesOf(const fs::path& path) { return *readFileBytes(path.string(), 1 << 24); }

std::map<std::string, Traced> tracedAreas(const fs::path& out) {
    std::map<std::string, Traced> areas;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name.starts_with('.')) continue;
        int cellX = 0, cellY = 0, areaX = 0, areaY = 0;
        std::sscanf(name.c_str(), "%d_%d_%d_%d", &cellX, &cellY, &areaX, &areaY);
        ProjectState s;
        applyProjectFile(s, *parseProjectFile(bytesOf(entry.path() / (name + ".dat"))));
        const auto points = parsePointsFile(bytesOf(entry.path() / (name + ".points")));
        Traced& area = areas[name.substr(0, 13)];
        Pixels ring, line;
        for (const std::string& l : points->lwmLines) ring.push_back(*lwmPointOf(l));
        for (const std::string& l : points->vtpLines)
            if (const auto p = vtpPointOf(l, areaX, areaY);
                p && (line.empty() || line.back() != *p))
                line.push_back(*p);
        long long twice = 0;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const TracePoint a = ring[i], b = ring[(i + 1) % ring.size()];
            twice += static_cast<long long>(a.x) * b.y - static_cast<long long>(b.x) * a.y;
        }
        area.land += (s.Option1 ? 1 : -1) * std::abs(twice) / 2.0 / (255.0 * 255.0);
        if (!ring.empty()) area.rings.push_back(ring);
        for (std::size_t i = 1; i < line.size(); ++i)
            area.vtp.insert(segment(line[i - 1], line[i]));
    }
    return areas;
}

// The share of the area that the file's features cover.
double dataLand(const std::vector<Geometry>& shapes, GridArea area) {
    const AreaEdges e = gridAreaEdges(area);
    OGRLinearRing ring;
    for (const auto& [lon, lat] : {std::pair{e.west, e.north},
                                   {e.east, e.north},
                                   {e.east, e.south},
                                   {e.west, e.south},
                                   {e.west, e.north}})
        ring.addPoint(lon, lat);
    OGRPolygon box;
    box.addRing(&ring);
    double covered = 0;
    for (const Geometry& shape : shapes)
        if (const Geometry part(shape->Intersection(&box)); part)
            covered += OGR_G_Area(OGRGeometry::ToHandle(part.get()));
    return covered / (kAreaWidth * kAreaHeight);
}

struct CoastCase {
    const char* name;
    const char* mode;
    const char* tolerance;
    bool landExact;  // simplification moves the coast; without it the land is checked
};

void PrintTo(const CoastCase& c, std::ostream* os) { *os << c.name; }

class Coast : public testing::TestWithParam<CoastCase> {};

TEST_P(Coast, EveryAreaIsTracedRight) {
    const fs::path folder = fs::temp_directory_path() / ("qm4coast-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string file = (folder / "coast.geojson").string(), out = (folder / "out").string();
    ASSERT_EQ(
        std::system((std::string(QUILLMAP4_PYTHON " " QUILLMAP4_TEST_SCRIPTS "/make_coast.py ") +
                     file + " " + std::to_string(kCornerX) + " " + std::to_string(kCornerY))
                        .c_str()),
        0);
    const AreaEdges first = gridAreaEdges({kCornerX, kCornerY});
    const AreaEdges last = gridAreaEdges({kCornerX + kSide - 1, kCornerY + kSide - 1});
    char region[128];
    std::snprintf(region, sizeof region, "%.12f,%.12f,%.12f,%.12f", last.south + 1e-9,
                  first.west + 1e-9, first.north - 1e-9, last.east - 1e-9);
    std::ostringstream said, errors;
    const int status = runBatch({file, "--region", region, "--out", out, GetParam().mode, "--land",
                                 "--tolerance", GetParam().tolerance, "--altitude", "0",
                                 "--vector-type", "\"1\"", "--vtp-layer", "1", "--width", "2"},
                                said, errors);
    ASSERT_EQ(status, 0) << errors.str();  // no area failed, by a sliver or otherwise

    // batch.csv: each written piece's digest is that of its files; a hole
    // has the other mask than its ring; slivers, holes and runs were met.
    std::map<std::string, int> kinds;
    const auto summary = summaryByArea(bytesOf(fs::path(out) / "batch.csv"));
    ASSERT_TRUE(summary.ok()) << summary.error().message;
    for (const auto& [area, rows] : *summary) {
        for (const SummaryRow& row : rows) {
            ++kinds[row.outcome.substr(0, row.outcome.find(':')) + " " + row.kind];
            if (row.piece == 0) continue;
            const fs::path at = fs::path(out) / row.files.substr(0, row.files.find('/'));
            const std::string name = at.filename().string();
            EXPECT_EQ(row.digest,
                      savedDigest(bytesOf(at / (name + ".dat")), bytesOf(at / (name + ".points"))))
                << name;
            // A hole's or a run's ring: a piece of the same feature.
            const SummaryRow& ring = rows.at(static_cast<std::size_t>(std::max(row.of, 1) - 1));
            EXPECT_TRUE(row.of == 0 || (ring.feature == row.feature && ring.kind != "run")) << name;
            EXPECT_TRUE(row.kind != "hole" || row.mask != ring.mask) << name;
        }
    }
    EXPECT_GT(kinds["dropped ring"], 10);
    EXPECT_GT(kinds["written hole"], 2);
    const bool line = std::string(GetParam().mode) == "--line";
    EXPECT_GT(kinds["written run"], line ? 0 : -1);

    GDALDatasetUniquePtr data(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR));
    std::vector<Geometry> shapes;
    for (const auto& feature : *data->GetLayer(0)) shapes.emplace_back(feature->StealGeometry());
    std::map<std::string, Traced> traced = tracedAreas(out);
    for (int x = kCornerX; x < kCornerX + kSide; ++x) {
        for (int y = kCornerY; y < kCornerY + kSide; ++y) {
            const std::string name = areaFolderName({x, y});
            const Traced& area = traced[name];
            const double data = GetParam().landExact ? dataLand(shapes, {x, y}) : area.land;
            EXPECT_NEAR(area.land, data, 0.005) << name;
            for (const Pixels& ring : area.rings) {
                std::set<std::pair<int, int>> distinct;
                OGRLinearRing outline;
                for (const TracePoint& p : ring) {
                    distinct.insert({p.x, p.y});
                    outline.addPoint(p.x, p.y);
                }
                outline.closeRings();
                OGRPolygon polygon;
                polygon.addRing(&outline);
                EXPECT_GE(distinct.size(), 3u) << name;
                EXPECT_TRUE(polygon.IsValid()) << name;
                for (std::size_t i = 0; line && i < ring.size(); ++i) {
                    const TracePoint a = ring[i], b = ring[(i + 1) % ring.size()];
                    EXPECT_TRUE(alongEdge(a, b) || area.vtp.count(segment(a, b))) << name;
                }
            }
            for (const auto& [a, b] : area.vtp)
                EXPECT_FALSE(line && alongEdge({a.first, a.second}, {b.first, b.second})) << name;
        }
    }
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Modes, Coast,
                         testing::Values(CoastCase{"LineExact", "--line", "0", true},
                                         CoastCase{"PolySimplified", "--poly", "1", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm4::geo
