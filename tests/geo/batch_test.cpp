// The batch against the window: every area's folders hold byte for byte the
// files that Go to Position, Import Shape (each piece) and Save and Create
// Source write in the window; the area centre calculates back to the area;
// shards through GNU parallel, a second run, a piece over 255 points, the
// compiler, and bad inputs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "capture/shape_presses.h"
#include "geo/batch.h"
#include "geo/batch_area.h"
#include "geo/batch_folders.h"
#include "geo/compiler_run.h"
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

// The form's fields the sources need, for a batch without a template.
const std::vector<std::string> kForm = {"--altitude",  "12", "--vector-type", "1030",
                                        "--vtp-layer", "4",  "--width",       "12"};

// The batch, given kForm where no --template or --altitude says otherwise.
Outcome batch(std::vector<std::string> arguments) {
    if (std::find(arguments.begin(), arguments.end(), "--template") == arguments.end() &&
        std::find(arguments.begin(), arguments.end(), "--altitude") == arguments.end())
        arguments.insert(arguments.end(), kForm.begin(), kForm.end());
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
            if (!shape) continue;
            std::vector<PartImports> parts;
            for (std::size_t i = 0; i < shape->pieces.size(); ++i)
                parts.push_back(partImports(shape->pieces[i],
                                            !shape->polygon    ? PieceKind::Line
                                            : shape->holeOf[i] ? PieceKind::Hole
                                                               : PieceKind::Ring,
                                            VtpLinePoly(form) == 1));
            for (const ImportPlace& place : orderImports(parts, shape->holeOf)) {
                const std::string folder =
                    areaFolderName(area) + (++piece > 1 ? "_" + std::to_string(piece) : "");
                ProjectState s = located;
                s.txtprojectname = folder;
                // A hole, as the dialog says, takes the other mask.
                if (shape->holeOf[place.part]) s.Option2 = !(s.Option1 = !s.Option1);
                pressImport(s, parts[place.part].imports[place.index], {});
                const fs::path where = region / folder;
                fs::create_directories(where);
                EXPECT_TRUE(saveProject((where / (folder + ".dat")).string(), s, "").ok());
                // Create Source for each list that has points.
                EXPECT_TRUE(s.lstLWM.lines.empty() || createlwm(s, where.string()).ok());
                EXPECT_TRUE(s.lstVTP.lines.empty() || createvtp(s, where.string()).ok());
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

// A region whose west lies beyond its east crosses the antimeridian: the
// areas on both sides of it are made.
TEST(Batch, RegionAcrossTheAntimeridian) {
    Folder folder;
    const std::string file = folder / "fiji.geojson", out = folder / "out";
    std::ofstream(file)
        << R"({"type":"FeatureCollection","features":[{"type":"Feature",)"
           R"("properties":{},"geometry":{"type":"MultiPolygon","coordinates":[)"
           R"([[[179.996,-17.05],[180,-17.05],[180,-17.051],[179.996,-17.05]]],)"
           R"([[[-180,-17.05],[-179.996,-17.05],[-180,-17.051],[-180,-17.05]]]]}}]})";
    const auto run = batch({file, "--region", "-17.1,179.99,-17.0,-179.99", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(out + "/767_304_31_15") && fs::exists(out + "/000_304_00_15"))
        << run.out;
    EXPECT_NE(run.out.find("; 1 feature read."), std::string::npos) << run.out;
}

// Folders that cannot all be put in place give the area its earlier ones
// back, and leave none of the new ones.
TEST(Batch, PlacingThatFailsKeepsTheEarlierFolders) {
    Folder folder;
    for (const char* name : {"a", "a_2", ".a.partial"}) fs::create_directory(folder / name);
    std::ofstream(folder / "a/x") << "earlier";
    EXPECT_FALSE(placeArea(folder.path, "a", 2).ok());  // no second piece was made
    EXPECT_EQ(filesUnder(folder.path), (Files{{"a/x", "earlier"}}));
    EXPECT_TRUE(fs::is_directory(folder / "a_2"));
    EXPECT_FALSE(fs::exists(folder / ".a.partial"));
}

// On a full disk (here a limit on the size of a file) every area says why
// it failed, the earlier folders stay, and no batch.csv is left that would
// describe another run.
TEST(Batch, FullDiskLeavesNoStaleSummary) {
    Folder folder;
    // Rows that name the folder outgrow the limit.
    const std::string out = folder / std::string(150, 'o');
    const std::string command = std::string(QUILLMAP4_GEO_PROGRAM) +
                                " batch " QUILLMAP4_SAMPLES
                                "/harbour.geojson --region "
                                "47.49,-122.28,47.51,-122.24 --altitude 1 --vector-type 1 "
                                "--vtp-layer 1 --width 1 --out " +
                                out;
    ASSERT_EQ(std::system((command + " >/dev/null").c_str()), 0);
    const Files before = filesUnder(out);
    const int status = std::system(("bash -c \"trap '' XFSZ; ulimit -f 1; exec " + command +
                                    " --force\" >" + folder / "said" + " 2>" + folder / "errors")
                                       .c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(filesUnder(out), before);
    EXPECT_FALSE(fs::exists(out + "/batch.csv"));
    const std::string said = *readFileBytes(folder / "said", 1000),
                      errors = *readFileBytes(folder / "errors", 10000);
    EXPECT_TRUE(said.ends_with("3 failed; 2 features read. No summary was written.\n")) << said;
    EXPECT_NE(errors.find("123_120_06_28 failed: Could not write"), std::string::npos) << errors;
}

#ifdef __linux__
// The folder's file system flags, with more set first; nothing where it
// keeps none.
std::optional<int> folderFlags(const std::string& folder, int more = 0) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool read = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (read && more) {
        flags |= more;
        read =
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    }
    if (fd >= 0) ::close(fd);
    return read ? std::optional<int>(flags) : std::nullopt;
}

// Where the file system takes the mark at all (ext2/3/4), the output folder
// is made the top of a folder tree, so the area folders are spread over it.
TEST(Batch, OutputFolderSpreadsItsAreaFolders) {
    Folder folder;
    fs::create_directory(folder / "probe");
    if (!(folderFlags(folder / "probe", FS_TOPDIR_FL).value_or(0) & FS_TOPDIR_FL))
        GTEST_SKIP() << "this file system keeps no top-of-tree mark";
    const std::string out = folder / "out";
    ASSERT_EQ(batch({QUILLMAP4_SAMPLES "/harbour.geojson", "--region",
                     "47.49,-122.28,47.51,-122.24", "--out", out})
                  .status,
              0);
    EXPECT_TRUE(folderFlags(out).value_or(0) & FS_TOPDIR_FL);
    EXPECT_FALSE(folderFlags(folder.path.string()).value_or(0) & FS_TOPDIR_FL);
}
#endif

std::string csvOf(const std::string& folder) {
    return *readFileBytes(folder + "/batch.csv", 1 << 24);
}

// Three shards run by GNU parallel make the same folders as one run, and
// their summaries hold the one run's rows between them.
TEST(Batch, ShardsThroughGnuParallelMakeWhatOneRunMakes) {
    Folder folder;
    const std::string file = folder / "shapes.geojson";
    std::ofstream(file) << windingShapes();
    ASSERT_EQ(batch({file, "--region", windingRegion(), "--out", folder / "one"}).status, 0);
    const std::string command = "parallel --will-cite " + std::string(QUILLMAP4_GEO_PROGRAM) +
                                " batch " + file + " --region " + windingRegion() + " --out " +
                                (folder / "three") +
                                " --altitude 12 --vector-type 1030 --vtp-layer 4 --width 12 "
                                "--jobs 1 --shard {}/3 ::: 1 2 3 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(filesUnder(folder.path / "three"), filesUnder(folder.path / "one"));
    std::multiset<std::string> one, three;
    const std::string oneRun = csvOf(folder / "one");
    for (const auto& line : splitLines(oneRun)) one.insert(std::string(line));
    for (int shard = 1; shard <= 3; ++shard) {
        const auto rows = readFileBytes(
            folder / ("three/batch-shard-" + std::to_string(shard) + "-of-3.csv"), 1 << 24);
        ASSERT_TRUE(rows.ok()) << shard;
        const auto lines = splitLines(*rows);
        EXPECT_GT(lines.size(), 10u) << "shard " << shard << " has too few areas";
        three.insert(lines.begin() + 1, lines.end());
    }
    one.erase(one.find(std::string(kSummaryHeader)));
    EXPECT_EQ(three, one);
}

// A file made in one go in a fresh folder: the bytes as given, never over
// a file that is there, and nothing left by a write that fails.
struct NewFileCase {
    const char* name;
    const char* before;  // the file's bytes beforehand; nullptr: no file
    const char* folder;  // where it is made, in the scratch folder
    std::string said;    // the error, the path as $PATH; empty: written
    std::string after;   // the file's bytes afterwards; "-": no file
};

void PrintTo(const NewFileCase& c, std::ostream* os) { *os << c.name; }

class NewFiles : public testing::TestWithParam<NewFileCase> {};

TEST_P(NewFiles, AreMadeWholeOrNotAtAll) {
    Folder folder;
    const std::string path = folder / (std::string(GetParam().folder) + "/LWMSource.asm");
    if (GetParam().before) std::ofstream(path) << GetParam().before;
    const Status made = writeNewFile(path, std::string("a\r\nb\0\xE9\r\n", 7));
    std::string said = GetParam().said;
    if (const auto at = said.find("$PATH"); at != std::string::npos) said.replace(at, 5, path);
    EXPECT_EQ(made ? "" : made.error().message, said);
    EXPECT_EQ(fs::exists(path) ? *readFileBytes(path, 100) : "-", GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NewFiles,
    testing::Values(NewFileCase{"Written", nullptr, ".", "", std::string("a\r\nb\0\xE9\r\n", 7)},
                    NewFileCase{"NeverOverAnEarlierFile", ";  earlier and longer", ".",
                                "Could not write \"$PATH\": File exists.", ";  earlier and longer"},
                    NewFileCase{"FolderMissing", nullptr, "none",
                                "Could not write \"$PATH\": No such file or directory.", "-"}),
    [](const auto& info) { return std::string(info.param.name); });

long long modified(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
}

// A second run skips the areas written whole and carries their rows
// forward, redoes one whose first folder is missing (an interrupted area),
// and --force redoes all; a redo that fails keeps the earlier folders, and
// an area redone with fewer pieces keeps no folder of the pieces it lost.
TEST(Batch, SecondRunSkipsWhatIsWritten) {
    Folder folder;
    const std::string sample = QUILLMAP4_SAMPLES "/harbour.geojson", out = folder / "out";
    std::vector<std::string> args = {sample, "--region", "47.49,-122.28,47.51,-122.24", "--out",
                                     out};
    ASSERT_EQ(batch(args).status, 0);
    const Files first = filesUnder(out);
    const std::string summary = csvOf(out);
    const long long written = modified(out + "/123_120_06_28/VTPSource.asm");
    const auto again = batch(args);
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.starts_with("0 areas written (0 pieces), 3 skipped as written before"))
        << again.out;
    EXPECT_EQ(modified(out + "/123_120_06_28/VTPSource.asm"), written);
    EXPECT_EQ(csvOf(out), summary);
    fs::remove_all(out + "/123_120_05_28");
    // What a run stopped in the middle of the area leaves.
    for (const char* partial : {"", "_2", "_3"})
        fs::create_directory(out + "/.123_120_05_28" + partial + ".partial");
    std::ofstream(out + "/.123_120_05_28.partial/LWMSource.asm") << ";  half";
    EXPECT_TRUE(batch(args).out.starts_with("1 areas written (2 pieces), 2 skipped"));
    EXPECT_EQ(filesUnder(out), first);
    EXPECT_EQ(csvOf(out), summary);
    EXPECT_FALSE(fs::exists(out + "/.123_120_05_28.partial") ||
                 fs::exists(out + "/.123_120_05_28_3.partial"));
    args.push_back("--force");
    std::vector<std::string> unwritable = args;
    unwritable.insert(unwritable.end(), {"--name", std::string(300, 'n')});
    const auto failed = batch(unwritable);
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("123_120_05_28 failed: Could not write"), std::string::npos);
    EXPECT_NE(csvOf(out).find(" The area's earlier folders were kept."), std::string::npos);
    EXPECT_EQ(filesUnder(out), first);
    EXPECT_TRUE(batch(args).out.starts_with("3 areas written (5 pieces), 0 skipped"));
    EXPECT_NE(modified(out + "/123_120_06_28/VTPSource.asm"), written);
    EXPECT_EQ(filesUnder(out), first);
    // Without the road 123_120_05_28 and 123_120_04_28 hold one piece each.
    std::vector<std::string> basin = {sample, "--region", "47.49,-122.28,47.51,-122.24", "--out",
                                      out,    "--where",  "name = 'Harbour basin'"};
    fs::remove_all(out + "/123_120_05_28");
    EXPECT_EQ(batch(basin).status, 0);
    EXPECT_FALSE(fs::exists(out + "/123_120_05_28_2"));
    EXPECT_TRUE(fs::exists(out + "/123_120_04_28_2"));  // skipped, as written before
    basin.push_back("--force");
    EXPECT_EQ(batch(basin).status, 0);
    EXPECT_FALSE(fs::exists(out + "/123_120_04_28_2"));
}

// A piece of many points, a zigzag that widens, is simplified harder until
// both sources can count it (a line's VTP counter runs two ahead of its
// points); the window at the tolerance the summary names imports the same
// points.
struct CrowdedCase {
    const char* name;
    const char* mode;
    std::size_t most;
    int points;
};

void PrintTo(const CrowdedCase& c, std::ostream* os) { *os << c.name; }

class CrowdedPieces : public testing::TestWithParam<CrowdedCase> {};

TEST_P(CrowdedPieces, AreSimplifiedUntilTheyFit) {
    Folder folder;
    std::string zigzag;
    for (int i = 0; i < GetParam().points; ++i)
        zigzag += std::string(i ? "," : "") +
                  lonLatText((5 + i * 0.4) / 255, (128 + (i % 2 ? 1 : -1) * (1 + i / 6.0)) / 255.0);
    const std::string file = folder / "zigzag.geojson";
    std::ofstream(file)
        << R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},"geometry":{"type":"LineString","coordinates":[)"
        << zigzag << "]}}]}";
    const AreaEdges area = gridAreaEdges({kX, kY});
    const std::string region = jsonNumber(area.south + 1e-6) + "," + jsonNumber(area.west + 1e-6) +
                               "," + jsonNumber(area.north - 1e-6) + "," +
                               jsonNumber(area.east - 1e-6);
    const auto run = batch({file, "--region", region, "--out", folder / "out", GetParam().mode});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string csv = csvOf(folder / "out");
    const std::string said =
        "written, simplified from " + std::to_string(GetParam().points) + " to ";
    const auto at = csv.find(said);
    ASSERT_NE(at, std::string::npos) << csv;
    std::size_t points = 0;
    double tolerance = 0;
    ASSERT_EQ(std::sscanf(csv.c_str() + at + said.size(), "%zu points at tolerance %lf", &points,
                          &tolerance),
              2);
    EXPECT_LE(points, GetParam().most);
    EXPECT_GT(points, GetParam().most / 4);
    const auto shape = featureShape(file, 0, 0, area, tolerance);
    EXPECT_EQ(picturePixels(shape->pieces.at(0), false).size(), points);
    EXPECT_GT(
        picturePixels(featureShape(file, 0, 0, area, tolerance / 1.5)->pieces.at(0), false).size(),
        GetParam().most);
}

INSTANTIATE_TEST_SUITE_P(Rows, CrowdedPieces,
                         testing::Values(CrowdedCase{"Line", "--line", 253, 600},
                                         CrowdedCase{"Poly", "--poly", 255, 600},
                                         CrowdedCase{"LineOnePointOver", "--line", 253, 254}),
                         [](const auto& info) { return std::string(info.param.name); });

// The compiler runs on each source in the area's folder; one that fails in
// one area is that area's failure alone.
TEST(Batch, CompilesEachSourceAndReportsTheAreaThatFails) {
    Folder folder;
    const std::string compiler = folder / "bglc";
    std::ofstream(compiler) << "#!/bin/sh\n"
                               "case \"$PWD\" in *_05_28.partial) echo broken; exit 3;; esac\n"
                               "echo \"compiling $2\"; printf 'BGL' > \"${2%.asm}.bgl\"\n";
    fs::permissions(compiler, fs::perms::owner_all);
    ::setenv("XDG_CONFIG_HOME", folder.path.c_str(), 1);
    const std::string sample = QUILLMAP4_SAMPLES "/harbour.geojson", out = folder / "out";
    const auto run = batch({sample, "--region", "47.49,-122.28,47.51,-122.24", "--out", out,
                            "--compile", "--compiler", compiler, "--jobs", "2"});
    EXPECT_EQ(run.status, 1);
    const std::string csv = csvOf(out);
    EXPECT_NE(
        csv.find("123_120_05_28,1,harbour:0 Harbour basin,6,0,123_120_05_28/ 123_120_05_28.dat "
                 "123_120_05_28.points LWMSource.asm VTPSource.asm compile.log,failed: "
                 "LWMSource.asm was not compiled: the compiler ended with exit code 3. "
                 "VTPSource.asm was not compiled: the compiler ended with exit code 3.,ring,,"),
        std::string::npos)
        << csv;
    EXPECT_NE(
        csv.find("123_120_06_28/ 123_120_06_28.dat 123_120_06_28.points LWMSource.asm "
                 "VTPSource.asm LWMSource.bgl VTPSource.bgl compile.log,\"written; LWMSource.asm "
                 "compiled: exit code 0, LWMSource.bgl, 3 bytes, "),
        std::string::npos)
        << csv;
    EXPECT_EQ(*readFileBytes(out + "/123_120_06_28/VTPSource.bgl", 10), "BGL");
    EXPECT_EQ(*readFileBytes(out + "/123_120_05_28/compile.log", 1000),
              "$ " + compiler + " /bgl LWMSource.asm\nbroken\n$ " + compiler +
                  " /bgl VTPSource.asm\nbroken\n");
    // Redone, the area the compiler fails keeps its earlier folder.
    const long long before = modified(out + "/123_120_05_28/LWMSource.asm");
    const auto redo = batch({sample, "--region", "47.49,-122.28,47.51,-122.24", "--out", out,
                             "--compile", "--compiler", compiler, "--force"});
    EXPECT_TRUE(redo.out.starts_with("2 areas written")) << redo.out;
    EXPECT_EQ(modified(out + "/123_120_05_28/LWMSource.asm"), before);
    ::unsetenv("XDG_CONFIG_HOME");
}

// The window's settings file as QSettings writes it: the [compiler] group
// alone, quoted values, the limit held within 1 to 3600 seconds.
struct SettingsCase {
    const char* name;
    std::string ini;
    std::string read;  // compiler|runner|limit
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }

class CompilerSettingsFile : public testing::TestWithParam<SettingsCase> {};

TEST_P(CompilerSettingsFile, Reads) {
    CompilerSettings settings;
    readCompilerSettings(GetParam().ini, settings);
    EXPECT_EQ(
        settings.compiler + "|" + settings.runner + "|" + std::to_string(settings.limitSeconds),
        GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CompilerSettingsFile,
    testing::Values(
        SettingsCase{"Plain",
                     "[General]\npath=/elsewhere\n\n[compiler]\npath=/home/ann/FS SDK/BGLC.exe\r\n"
                     "runner=env WINEDEBUG=-all wine\nlimitSeconds=90\n",
                     "/home/ann/FS SDK/BGLC.exe|env WINEDEBUG=-all wine|90"},
        SettingsCase{"Quoted", "[compiler]\npath=\"C:\\\\SDK\\\\a,b.exe\"\n",
                     "C:\\SDK\\a,b.exe||60"},
        SettingsCase{"LimitHeld", "[compiler]\nlimitSeconds=99999\n", "||3600"},
        SettingsCase{"LimitNoNumber", "[compiler]\nlimitSeconds=soon\n", "||60"}),
    [](const auto& info) { return std::string(info.param.name); });

// How a run of the compiler ends, as the verdict says it.
TEST(CompilerRuns, StopAtTheLimitOrSayTheyCouldNotStart) {
    Folder folder;
    const std::string hang = folder / "hang";
    std::ofstream(hang) << "#!/bin/sh\nsleep 30\n";
    fs::permissions(hang, fs::perms::owner_all);
    EXPECT_EQ(compileInFolder({hang, "", 1}, folder.path.string(), "LWMSource.asm", "log").summary,
              "LWMSource.asm was not compiled: the compiler ran longer than 1 second and was "
              "stopped.");
    EXPECT_EQ(
        compileInFolder({folder / "none", "", 1}, folder.path.string(), "VTPSource.asm", "log")
            .summary,
        "VTPSource.asm was not compiled: the compiler could not be started.");
    // The limit ends what the compiler started too, not the compiler alone.
    std::ofstream(hang) << "#!/bin/sh\nsleep 30 &\necho $! > " << (folder / "child") << "\nwait\n";
    compileInFolder({hang, "", 1}, folder.path.string(), "LWMSource.asm", "log");
    const std::string pidText = *readFileBytes(folder / "child", 20);
    const std::string stat = "/proc/" + pidText.substr(0, pidText.find('\n')) + "/stat";
    std::string state;
    // A process that was sent SIGKILL may run on for a moment while it dies.
    for (int tries = 0; tries < 300; ++tries) {
        std::string pid, name;
        state = "gone";
        std::ifstream(stat) >> pid >> name >> state;
        if (state == "gone" || state == "Z") break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(state == "gone" || state == "Z") << state;
    // Not executable: only the runner in front of it can start it.
    std::ofstream(folder / "quiet") << "exit 0\n";
    EXPECT_EQ(compileInFolder({folder / "quiet", "/bin/sh", 5}, folder.path.string(),
                              "LWMSource.asm", "log")
                  .summary,
              "LWMSource.asm was not compiled: the compiler ended with exit code 0 but wrote no "
              "LWMSource.bgl.");
}

struct BadCase {
    const char* name;
    std::vector<std::string> arguments;  // $DIR: a scratch folder, $SAMPLE: the harbour
    int status;
    std::string said;  // the start of what standard error says
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BadBatches : public testing::TestWithParam<BadCase> {};

TEST_P(BadBatches, StopWithAClearMessage) {
    Folder folder;
    std::ofstream(folder / "file") << "x";
    std::ofstream(folder / "areas.txt") << "123,120,5,28\n123 120 5 32\n";
    std::ofstream(folder / "broken.geojson") << "{\"type\":\"FeatureCollection\",\n"
                                                "\"features\":[{\"type\":\"Feature\",x}]}";
    std::vector<std::string> arguments;
    for (std::string a : GetParam().arguments) {
        for (const auto& [from, to] :
             {std::pair<std::string, std::string>{"$DIR", folder.path.string()},
              {"$SAMPLE", QUILLMAP4_SAMPLES "/harbour.geojson"}})
            if (const auto at = a.find(from); at != std::string::npos)
                a.replace(at, from.size(), to);
        arguments.push_back(a);
    }
    const auto run = batch(arguments);
    EXPECT_EQ(run.status, GetParam().status);
    std::string said = GetParam().said;
    if (const auto at = said.find("$DIR"); at != std::string::npos)
        said.replace(at, 4, folder.path.string());
    EXPECT_TRUE(run.err.starts_with("quillmap4-geo batch: " + said)) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(folder / "o"));  // nothing made
}

const std::string kRegion = "47.49,-122.28,47.51,-122.24";

INSTANTIATE_TEST_SUITE_P(
    Rows, BadBatches,
    testing::Values(
        BadCase{"UnreadableFile",
                {"$DIR/none.gpkg", "--region", kRegion, "--out", "$DIR/o"},
                1,
                "Could not read \"$DIR/none.gpkg\": no such file or directory."},
        BadCase{"NotAVectorFile",
                {"$DIR/file", "--region", kRegion, "--out", "$DIR/o"},
                1,
                "Could not read \"$DIR/file\": it is not recognized as a supported file format."},
        BadCase{"BrokenJson",
                {"$DIR/broken.geojson", "--region", kRegion, "--out", "$DIR/o"},
                1,
                "Could not read \"$DIR/broken.geojson\": failed to read GeoJSON data (at line 2, "
                "character 31: Unexpected character (x))."},
        BadCase{"EmptyRegion",
                {"$SAMPLE", "--region", "47.51,-122.28,47.49,-122.24", "--out", "$DIR/o"},
                1,
                "The region 47.51,-122.28,47.49,-122.24 is empty"},
        BadCase{"RegionBeyondTheGlobe",
                {"$SAMPLE", "--region", "-91,0,1,1", "--out", "$DIR/o"},
                1,
                "The region -91,0,1,1 reaches beyond the globe"},
        BadCase{"HemisphereWithoutYes",
                {"$SAMPLE", "--region", "-10,-100,10,100", "--out", "$DIR/o"},
                1,
                "The region -10,-100,10,100 spans more than a hemisphere; add --yes"},
        BadCase{"AcrossTheAntimeridianTheLongWay",
                {"$SAMPLE", "--region", "0,10,1,0", "--out", "$DIR/o"},
                1,
                "The region 0,10,1,0 spans more than a hemisphere; add --yes"},
        BadCase{"OutputFolderIsAFile",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/file/o"},
                1,
                "Cannot make the output folder \"$DIR/file/o\""},
        BadCase{"AreaListWithABadLine",
                {"$SAMPLE", "--areas", "$DIR/areas.txt", "--out", "$DIR/o"},
                1,
                "Line 2 of \"$DIR/areas.txt\" is no area"},
        BadCase{"AreaListNotThere",
                {"$SAMPLE", "--areas", "$DIR/none.txt", "--out", "$DIR/o"},
                1,
                "--areas: Could not read \"$DIR/none.txt\": No such file or directory."},
        BadCase{"TemplateNotThere",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--template", "$DIR/t.dat"},
                1,
                "--template: Could not read \"$DIR/t.dat\": there is no such file."},
        BadCase{"NoSuchLayer",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--layer", "roads"},
                1,
                "\"" QUILLMAP4_SAMPLES "/harbour.geojson\" has no layer \"roads\"."},
        BadCase{"FilterThatDoesNotFit",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--where", "nope ="},
                1,
                "The filter \"nope =\" does not fit layer \"harbour\""},
        BadCase{"CompileWithoutCompiler",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--compile", "--compiler", ""},
                1,
                "--compile needs a compiler"},
        BadCase{"FormWithoutWhatTheSourcesNeed",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--altitude", "1"},
                2,
                "the sources need --vector-type, --width, --vtp-layer, which neither the command "
                "line nor a --template gives.\nRun \"quillmap4-geo batch --help\" for what it "
                "takes.\n"},
        BadCase{"NoOutputFolder", {"$SAMPLE", "--region", kRegion}, 2, "--out is required"},
        BadCase{"NeitherRegionNorAreas",
                {"$SAMPLE", "--out", "$DIR/o"},
                2,
                "batch needs either --region or --areas."},
        BadCase{"RegionOfThreeNumbers",
                {"$SAMPLE", "--region", "1,2,3", "--out", "$DIR/o"},
                2,
                "--region: takes 4 numbers separated by commas, not \"1,2,3\"."},
        BadCase{"ToleranceBeyondFifty",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--tolerance", "60"},
                2,
                "--tolerance: takes pixels from 0 to 50."},
        BadCase{"ShardBeyondItsCount",
                {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--shard", "4/3"},
                2,
                "--shard's I: takes a whole number from 1 to 3, not \"4\"."},
        BadCase{"UnknownOption",
                {"$SAMPLE", "--regoin", kRegion, "--out", "$DIR/o"},
                2,
                "The following arguments were not expected: 47.49,-122.28,47.51,-122.24 "
                "--regoin\nRun \"quillmap4-geo batch --help\" for what it takes.\n"},
        BadCase{
            "LandAndWater",
            {"$SAMPLE", "--region", kRegion, "--out", "$DIR/o", "--land", "--water"},
            2,
            "--land excludes --water\nRun \"quillmap4-geo batch --help\" for what it takes.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

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
