// The batch against the window: every area's folders hold byte for byte the
// files that Go to Position, Import Shape (each piece) and Save and Create
// Source write in the window; the area centre calculates back to the area;
// shards through GNU parallel, a second run, a piece over 255 points, the
// compiler, and bad inputs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "capture/shape_presses.h"
#include "geo/batch.h"
#include "geo/batch_area.h"
#include "geo/geo_requests.h"
#include "geo/shape_import.h"
#include "model/calculate.h"
#include "model/position_text.h"
#include "project/points_file.h"
#include "source/source_writers.h"
#include "textio/text_file.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // path in the folder => bytes

struct Folder {
    fs::path path = fs::temp_directory_path() / ("qm4batch-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

// The README's harbour area, by its place in the grid.
constexpr int kX = 123 * 32 + 5, kY = 120 * 32 + 28;

std::string lonLatText(double x, double y) {  // x, y in areas from the harbour's corner
    const AreaEdges corner = gridAreaEdges({kX, kY});
    return "[" + jsonNumber(corner.west + x * kAreaWidth) + "," +
           jsonNumber(corner.north - y * kAreaHeight) + "]";
}

// A line that winds over eight areas and crosses itself, and a star with a
// hole over three by three areas.
std::string windingShapes() {
    std::string line, star, hole;
    for (int i = 0; i <= 3000; ++i) {
        const double t = i / 3000.0;
        line += std::string(i ? "," : "") +
                lonLatText(-2 + 8 * t + 0.7 * std::sin(40 * M_PI * t),
                           1 + 2.5 * std::sin(6 * M_PI * t) + 0.5 * std::cos(23 * M_PI * t));
    }
    for (int i = 0; i <= 40; ++i) {
        const double a = 2 * M_PI * (i % 40) / 40, r = i % 2 ? 1.6 : 0.9;
        star +=
            std::string(i ? "," : "") + lonLatText(2.5 + r * std::cos(a), 4.5 + r * std::sin(a));
        if (i % 10 == 0)
            hole = lonLatText(2.5 + 0.3 * std::cos(-a), 4.5 + 0.3 * std::sin(-a)) +
                   (hole.empty() ? "" : "," + hole);
    }
    return R"({"type":"FeatureCollection","features":[)"
           R"({"type":"Feature","properties":{"name":"Winding shore"},"geometry":{"type":"LineString","coordinates":[)" +
           line +
           R"(]}},{"type":"Feature","properties":{"name":"Star lake"},"geometry":{"type":"Polygon","coordinates":[[)" +
           star + "],[" + hole + "]]}}]}";
}

// The region of the winding shapes: its south, west, north and east.
std::string windingRegion() {
    const AreaEdges a = gridAreaEdges({kX - 3, kY - 2}), b = gridAreaEdges({kX + 7, kY + 6});
    return jsonNumber(b.south) + "," + jsonNumber(a.west) + "," + jsonNumber(a.north) + "," +
           jsonNumber(b.east);
}

// A template project with the window's fields.
std::string templateProject(const Folder& folder, bool line) {
    ProjectState s;
    s.txtauthorname = "Ann";
    s.txtcomments = "Traced by the batch";
    s.Option1 = true, s.Option2 = false;
    s.txtaltitude = "12";
    s.Option4 = line, s.Option3 = !line;
    s.cbovtptype = "\"1030\"   ;harbor";
    s.txtvtplinewidth = "12";
    s.cbolayer = "4";
    s.cbolandclass = "3";
    const std::string path = folder / "template.dat";
    EXPECT_TRUE(WriteProjectFile(path, s).ok());
    return path;
}

struct Outcome {
    int status = 0;
    std::string out, err;
};

Outcome batch(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int status = runBatch(arguments, out, err);
    return {status, out.str(), err.str()};
}

Files filesUnder(const fs::path& root, bool summaries = false) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_regular_file() && (summaries || !name.starts_with("batch")))
            files[name] = *readFileBytes(entry.path().string(), 1 << 24);
    }
    return files;
}

// What the window writes for the area: the template opened, Go to
// Position on the area's centre, each piece of each feature imported into
// a fresh copy, saved under the folder's name and both sources created.
Files windowFiles(const std::string& file, const std::string& templatePath, double tolerance,
                  const fs::path& region, const std::vector<GridArea>& areas) {
    Files files;
    ProjectState form;
    applyProjectFile(form, *parseProjectFile(*readFileBytes(templatePath, 1 << 20)));
    for (const GridArea area : areas) {
        ProjectState boxes;
        boxes.txtcellx = std::to_string(area.x / 32), boxes.txtcelly = std::to_string(area.y / 32);
        boxes.txtareax = std::to_string(area.x % 32), boxes.txtareay = std::to_string(area.y % 32);
        const AreaEdges edges = areaEdges(boxes);
        ProjectState located = form;
        writePosition(located, {(edges.north + edges.south) / 2, (edges.west + edges.east) / 2});
        calculate(located);
        EXPECT_EQ(
            located.txtcellx + " " + located.txtcelly + " " + located.txtareax + " " +
                located.txtareay,
            boxes.txtcellx + " " + boxes.txtcelly + " " + boxes.txtareax + " " + boxes.txtareay);
        const auto list = listFeatures(file, areaEdges(located), {});
        int piece = 0;
        for (const FeatureInfo& feature : list->features) {
            const auto shape =
                featureShape(file, feature.layer, feature.id, areaEdges(located), tolerance);
            for (std::size_t i = 0; shape && i < shape->pieces.size(); ++i) {
                const std::string folder =
                    areaFolderName(area) + (++piece > 1 ? "_" + std::to_string(piece) : "");
                ProjectState s = located;
                s.txtprojectname = folder;
                pressPixels(s, picturePixels(shape->pieces[i], shape->polygon), {});
                const fs::path where = region / folder;
                fs::create_directories(where);
                EXPECT_TRUE(saveProject((where / (folder + ".dat")).string(), s, "").ok());
                EXPECT_TRUE(createlwm(s, where.string()).ok());
                EXPECT_TRUE(createvtp(s, where.string()).ok());
            }
        }
    }
    return filesUnder(region);
}

std::vector<GridArea> regionAreas() {
    std::vector<GridArea> areas;
    for (int x = kX - 3; x <= kX + 7; ++x)
        for (int y = kY - 2; y <= kY + 6; ++y) areas.push_back({x, y});
    return areas;
}

class WindowEquivalence : public testing::TestWithParam<bool> {};

TEST_P(WindowEquivalence, EveryAreaHoldsWhatTheWindowWrites) {
    const bool line = GetParam();
    Folder folder;
    const std::string file = folder / "shapes.geojson";
    std::ofstream(file) << windingShapes();
    const std::string project = templateProject(folder, line);
    const Outcome run = batch({file, "--region", windingRegion(), "--out", folder / "batch",
                           "--template", project, "--tolerance", "0.5", "--jobs", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Files wanted = windowFiles(file, project, 0.5, folder.path / "window", regionAreas());
    const Files made = filesUnder(folder.path / "batch");
    EXPECT_GT(wanted.size(), 4u * 40);
    ASSERT_EQ(made.size(), wanted.size());
    for (const auto& [name, bytes] : wanted) EXPECT_EQ(made.at(name), bytes) << name;
}

INSTANTIATE_TEST_SUITE_P(Modes, WindowEquivalence, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Line" : "Poly"; });

TEST(Batch, HarbourSampleAsTheWindowImportsIt) {
    Folder folder;
    const std::string sample = QUILLMAP4_SAMPLES "/harbour.geojson";
    const std::string project = templateProject(folder, true);
    const Outcome run = batch({sample, "--region", "47.49,-122.28,47.51,-122.24", "--out",
                           folder / "batch", "--template", project, "--jobs", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<GridArea> areas;
    for (int x = kX - 2; x <= kX + 2; ++x)
        for (int y = kY - 1; y <= kY + 1; ++y) areas.push_back({x, y});
    const Files wanted = windowFiles(sample, project, 0, folder.path / "window", areas);
    EXPECT_EQ(filesUnder(folder.path / "batch"), wanted);
    EXPECT_TRUE(wanted.count("123_120_05_28/123_120_05_28.dat"));
    EXPECT_TRUE(wanted.count("123_120_05_28_2/VTPSource.asm"));
    EXPECT_EQ(run.out,
              "3 areas written (5 pieces), 0 skipped as written before, 0 failed; 2 "
              "features read. Summary: " +
                  folder / "batch" + "/batch.csv\n");
}

// Go to Position on an area's centre, as the batch writes the boxes: the
// texts, and Calculate finding that very area, by the poles, the date
// line, the equator and the prime meridian.
struct CentreCase {
    const char* name;
    GridArea area;
    std::string boxes;  // latitude degrees and minutes, longitude degrees and minutes
};

void PrintTo(const CentreCase& c, std::ostream* os) { *os << c.name; }

class Centres : public testing::TestWithParam<CentreCase> {};

TEST_P(Centres, CalculateBackToTheArea) {
    const auto s = formAtArea(ProjectState{}, GetParam().area);
    ASSERT_TRUE(s.ok()) << s.error().message;
    EXPECT_EQ(s->txtlatdeg + " " + s->txtlatmin + " " + s->txtlongdeg + " " + s->txtlongmin,
              GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Centres,
    testing::Values(
        CentreCase{"Harbour", {kX, kY}, "47 29.9634 -122 15.7910"},
        CentreCase{"NorthEastOfZero", {12288, 8191}, "0.00549316 00.00 0.00732422 00.00"},
        CentreCase{"SouthWestOfZero", {12287, 8192}, "-0.00549316 00.00 -0.00732422 00.00"},
        CentreCase{"NorthPoleDateLine", {0, 0}, "89 59.6704 -179 59.5605"},
        CentreCase{"SouthPoleDateLine", {24575, 16383}, "-89 59.6704 179 59.5605"},
        CentreCase{"LastAreaOfACell", {123 * 32 + 31, 120 * 32 + 31}, "47 27.9858 -121 52.9395"},
        CentreCase{"FirstAreaOfACell", {124 * 32, 121 * 32}, "47 27.3267 -121 52.0605"},
        CentreCase{"OneDegreeSouth", {12288, 8192 + 91}, "-1 00.3149 0.00732422 00.00"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm4::geo
