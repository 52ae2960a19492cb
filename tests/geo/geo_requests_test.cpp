// The helper's line protocol and command line: each request, good and bad,
// against its exact reply; coordinates that read back as the same doubles;
// and a few rows through the real quillmap4-geo.
#include <cpl_json.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "geo/geo_command.h"
#include "geo/geo_requests.h"
#include "geo/shape_import.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;

const std::string kSample = QUILLMAP4_SAMPLES "/harbour.geojson";
// The README's harbour: cell 123, 120, area 5, 28.
const AreaEdges kArea{47.5048828125, 47.493896484375, -122.2705078125, -122.255859375};
const std::string kAreaJson =
    R"({"north":47.5048828125,"south":47.493896484375,"west":-122.2705078125,"east":-122.255859375})";

struct Folder {
    fs::path path = fs::temp_directory_path() / ("qm4req-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
};

// $SAMPLE, $IMAGERY, $AREA and $DIR in a row stand for the harbour sample and its imagery, its area
// and a scratch folder.
std::string filled(std::string text, const fs::path& dir) {
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"$SAMPLE", kSample},
                                   {"$IMAGERY", QUILLMAP4_SAMPLES "/harbour.tif"},
                                   {"$AREA", kAreaJson},
                                   {"$DIR", dir.string()}})
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from))
            text.replace(at, from.size(), to);
    return text;
}

struct RequestCase {
    const char* name;
    std::string request;
    std::string reply;  // the final reply
};

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

class Requests : public testing::TestWithParam<RequestCase> {};

// Progress lines may come first when a request takes long (a loaded
// machine): they carry the request's id and nothing else.
TEST_P(Requests, GetExactlyTheirReply) {
    Folder folder;
    const auto lines = answerRequest(filled(GetParam().request, folder.path));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), filled(GetParam().reply, folder.path));
    const std::string id = lines.back().substr(0, lines.back().find(',') + 1);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].starts_with(id + "\"progress\":")) << lines[i];
}

const std::string kNoObject = R"({"id":0,"ok":false,"error":"The request is not a JSON object."})";

INSTANTIATE_TEST_SUITE_P(
    Rows, Requests,
    testing::Values(
        RequestCase{"Hello", R"({"id":1,"op":"hello"})",
                    R"({"id":1,"ok":true,"version":"4.0.0","protocol":1})"},
        RequestCase{"IdBeyondADouble", R"({"op":"hello","id":9007199254740993})",
                    R"({"id":9007199254740993,"ok":true,"version":"4.0.0","protocol":1})"},
        RequestCase{"NotJson", "hello", kNoObject}, RequestCase{"EmptyLine", "", kNoObject},
        RequestCase{"AnArray", R"([{"id":1,"op":"hello"}])", kNoObject},
        RequestCase{"TextAfterTheObject", R"({"id":1,"op":"hello"} {"id":2})", kNoObject},
        RequestCase{"BraceInAStringIsNoEnd", R"({"id":1,"op":"hello","x":"}\"{"})",
                    R"({"id":1,"ok":true,"version":"4.0.0","protocol":1})"},
        RequestCase{"NoId", R"({"op":"hello"})",
                    R"({"id":0,"ok":false,"error":"The request has no whole number \"id\"."})"},
        RequestCase{"IdNotWhole", R"({"id":1.5,"op":"hello"})",
                    R"({"id":0,"ok":false,"error":"The request has no whole number \"id\"."})"},
        RequestCase{"NoOp", R"({"id":5})",
                    R"({"id":5,"ok":false,"error":"The request has no \"op\"."})"},
        RequestCase{"UnknownOp", R"({"id":6,"op":"draw"})",
                    R"({"id":6,"ok":false,"error":"There is no op \"draw\"."})"},
        RequestCase{
            "FeaturesOfTheHarbour", R"({"id":2,"op":"features","file":"$SAMPLE","area":$AREA})",
            R"({"id":2,"ok":true,"features":[{"layer":0,"layerName":"harbour","id":0,"name":"Harbour basin","geometryType":"Polygon","pointsInside":4},{"layer":0,"layerName":"harbour","id":1,"name":"Quay road","geometryType":"Line String","pointsInside":3}],"notes":[]})"},
        RequestCase{
            "FeaturesOfNoFile",
            R"({"id":2,"op":"features","file":"$DIR/none.geojson","area":$AREA})",
            R"({"id":2,"ok":false,"error":"Could not read \"$DIR/none.geojson\": no such file or directory."})"},
        RequestCase{
            "FeaturesWithoutArea", R"({"id":2,"op":"features","file":"$SAMPLE"})",
            R"({"id":2,"ok":false,"error":"The request needs \"area\", an object with north, south, west and east in degrees."})"},
        RequestCase{
            "FeaturesAreaEdgeMissing",
            R"({"id":2,"op":"features","file":"$SAMPLE","area":{"north":1,"south":0,"west":0}})",
            R"({"id":2,"ok":false,"error":"The request needs \"area\", an object with north, south, west and east in degrees."})"},
        RequestCase{
            "FeaturesAreaUpsideDown",
            R"({"id":2,"op":"features","file":"$SAMPLE","area":{"north":0,"south":1,"west":0,"east":1}})",
            R"({"id":2,"ok":false,"error":"The area's north must lie above its south and its east beyond its west."})"},
        RequestCase{"FeaturesFileNotText", R"({"id":2,"op":"features","file":7,"area":$AREA})",
                    R"({"id":2,"ok":false,"error":"The request needs \"file\", a text."})"},
        RequestCase{"ShapeWithoutFid",
                    R"({"id":3,"op":"shape","file":"$SAMPLE","layer":0,"area":$AREA})",
                    R"({"id":3,"ok":false,"error":"The request needs \"fid\", a whole number."})"},
        RequestCase{
            "ShapeNegativeTolerance",
            R"({"id":3,"op":"shape","file":"$SAMPLE","layer":0,"fid":0,"area":$AREA,"tolerance":-1})",
            R"({"id":3,"ok":false,"error":"The request needs \"tolerance\", a number of pixels, 0 or more."})"},
        RequestCase{"ShapeNoSuchLayer",
                    R"({"id":3,"op":"shape","file":"$SAMPLE","layer":4,"fid":0,"area":$AREA})",
                    R"({"id":3,"ok":false,"error":"\"$SAMPLE\" has no layer 4."})"},
        RequestCase{
            "Export",
            R"({"id":4,"op":"export","file":"$DIR/t.geojson","lwm":[[47.5,-122.26],[47.499,-122.265],[47.498,-122.26]],"vtp":[],"vtpPolygon":false,"attributes":{"project":"Harbour","mask":"Land"}})",
            R"({"id":4,"ok":true})"},
        RequestCase{
            "ExportWrongName", R"({"id":4,"op":"export","file":"$DIR/t.txt","lwm":[],"vtp":[]})",
            R"({"id":4,"ok":false,"error":"\"$DIR/t.txt\" should end in .geojson, .json or .kml."})"},
        RequestCase{
            "ExportPointOfOneNumber",
            R"({"id":4,"op":"export","file":"$DIR/t.kml","lwm":[[47.5]],"vtp":[]})",
            R"({"id":4,"ok":false,"error":"The request needs \"lwm\", a list of [latitude, longitude] pairs."})"},
        RequestCase{
            "ExportWithoutVtp", R"({"id":4,"op":"export","file":"$DIR/t.kml","lwm":[]})",
            R"({"id":4,"ok":false,"error":"The request needs \"vtp\", a list of [latitude, longitude] pairs."})"},
        RequestCase{
            "ImageryOfTheHarbour",
            R"({"id":5,"op":"imagery","file":"$IMAGERY","area":$AREA,"size":512,"out":"$DIR/a.png"})",
            R"({"id":5,"ok":true})"},
        RequestCase{"ImageryWithoutSize",
                    R"({"id":5,"op":"imagery","file":"$SAMPLE","area":$AREA,"out":"$DIR/a.bmp"})",
                    R"({"id":5,"ok":false,"error":"The request needs \"size\", a whole number."})"},
        RequestCase{
            "ImageryOfNoRaster",
            R"({"id":5,"op":"imagery","file":"$SAMPLE","area":$AREA,"size":256,"out":"$DIR/a.bmp"})",
            R"({"id":5,"ok":false,"error":"Could not read \"$SAMPLE\": it is not recognized as a supported file format."})"}),
    [](const auto& info) { return std::string(info.param.name); });

void checkPieces(const CPLJSONDocument& reply, const FeatureShape& shape) {
    const CPLJSONArray pieces = reply.GetRoot().GetArray("pieces");
    ASSERT_EQ(static_cast<std::size_t>(pieces.Size()), shape.pieces.size());
    for (std::size_t i = 0; i < shape.pieces.size(); ++i) {
        const CPLJSONArray points = pieces[static_cast<int>(i)].ToArray();
        ASSERT_EQ(static_cast<std::size_t>(points.Size()), shape.pieces[i].size());
        for (std::size_t k = 0; k < shape.pieces[i].size(); ++k) {
            const CPLJSONArray xy = points[static_cast<int>(k)].ToArray();
            EXPECT_EQ(xy[0].ToDouble(), shape.pieces[i][k].x);
            EXPECT_EQ(xy[1].ToDouble(), shape.pieces[i][k].y);
        }
    }
}

// The pieces in the reply are the very doubles of the shape, and holeOf
// says whose hole each is.
TEST(Requests, ShapeRepliesReadBackAsTheSameDoubles) {
    Folder folder;
    const std::string lake = (folder.path / "lake.geojson").string();
    const auto at = [](double x, double y) {
        return "[" + jsonNumber(kArea.west + x * (kArea.east - kArea.west)) + "," +
               jsonNumber(kArea.north - y * (kArea.north - kArea.south)) + "]";
    };
    std::ofstream(lake) << R"({"type":"Polygon","coordinates":[[)" << at(0.1, 0.1) << ","
                        << at(0.9, 0.1) << "," << at(0.9, 0.9) << "," << at(0.1, 0.1) << "],["
                        << at(0.7, 0.3) << "," << at(0.8, 0.5) << "," << at(0.8, 0.3) << ","
                        << at(0.7, 0.3) << "]]}";
    for (const auto& [file, fid] : {std::pair{kSample, 1}, {lake, 0}}) {
        const auto lines =
            answerRequest(R"({"id":3,"op":"shape","file":")" + file + R"(","layer":0,"fid":)" +
                          std::to_string(fid) + R"(,"area":)" + kAreaJson + R"(,"tolerance":0})");
        ASSERT_EQ(lines.size(), 1u);
        CPLJSONDocument reply;
        ASSERT_TRUE(reply.LoadMemory(lines[0]));
        const auto shape = featureShape(file, 0, fid, kArea, 0);
        ASSERT_TRUE(shape.ok());
        EXPECT_EQ(reply.GetRoot().GetBool("polygon", false), file == lake);
        std::vector<std::size_t> holeOf;
        for (const CPLJSONObject& of : reply.GetRoot().GetArray("holeOf"))
            holeOf.push_back(static_cast<std::size_t>(of.ToInteger()));
        EXPECT_EQ(holeOf, shape->holeOf);
        EXPECT_TRUE(file != lake || holeOf == std::vector<std::size_t>({0, 1}));
        checkPieces(reply, *shape);
    }
}

// A file of many features sends progress lines, rising, before the reply.
TEST(Requests, LongReadsSendProgressFirst) {
    Folder folder;
    std::string file = R"({"type":"FeatureCollection","features":[)";
    for (int i = 0; i < 400; ++i) {
        const double lat = kArea.south + 0.00001 * (i + 1), lon = kArea.west + 0.001;
        file +=
            std::string(i ? "," : "") +
            R"({"type":"Feature","properties":{},"geometry":{"type":"LineString","coordinates":[[)" +
            jsonNumber(lon) + "," + jsonNumber(lat) + "],[" + jsonNumber(lon + 0.001) + "," +
            jsonNumber(lat) + "]]}}";
    }
    std::ofstream(folder.path / "many.geojson") << file << "]}";
    const auto lines =
        answerRequest(R"({"id":8,"op":"features","file":")" +
                      (folder.path / "many.geojson").string() + R"(","area":)" + kAreaJson + "}");
    ASSERT_GE(lines.size(), 3u);
    double before = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        CPLJSONDocument progress;
        ASSERT_TRUE(progress.LoadMemory(lines[i])) << lines[i];
        EXPECT_EQ(progress.GetRoot().GetLong("id"), 8);
        const double part = progress.GetRoot().GetDouble("progress", -1);
        EXPECT_GE(part, before);
        EXPECT_LE(part, 1.0);
        before = part;
    }
    EXPECT_TRUE(lines.back().starts_with(R"({"id":8,"ok":true,"features":[)")) << lines.back();
}

struct TextCase {
    const char* name;
    std::string given;
    std::string json;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class JsonTexts : public testing::TestWithParam<TextCase> {};

TEST_P(JsonTexts, AreWrittenSo) { EXPECT_EQ(jsonString(GetParam().given), GetParam().json); }

INSTANTIATE_TEST_SUITE_P(
    Rows, JsonTexts,
    testing::Values(TextCase{"Plain", "Harbour basin", R"("Harbour basin")"},
                    TextCase{"QuoteAndBackslash", R"(say "C:\x")", R"("say \"C:\\x\"")"},
                    TextCase{"ControlCharacters", "a\nb\tc\x7f", R"("a\u000ab\u0009c\u007f")"},
                    TextCase{"TwoAndFourByteCharacters", "\xc4\x85 \xf0\x9f\x8c\x8a",
                             "\"\xc4\x85 \xf0\x9f\x8c\x8a\""},
                    TextCase{"LoneByteOfCodePage", "caf\xe9!", R"("caf\ufffd!")"},
                    TextCase{"CutCharacter", "\xe2\x82", R"("\ufffd\ufffd")"},
                    TextCase{"OverlongSlash", "\xc0\xaf", R"("\ufffd\ufffd")"},
                    TextCase{"Surrogate", "\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JsonNumbers, AreTheShortestTextThatReadsBack) {
    for (const double value : {47.5048828125, -122.2705078125, 0.1, 1e300, 5e-324,
                               120.00000255992927, 166.6666545872119}) {
        const std::string text = jsonNumber(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
        char longer[40];
        std::snprintf(longer, sizeof longer, "%.17g", value);
        EXPECT_LE(text.size(), std::string(longer).size()) << text;
    }
    EXPECT_EQ(jsonNumber(0.1), "0.1");
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::infinity()), "null");
}

struct CommandCase {
    const char* name;
    std::string arguments;  // blank-separated, $SAMPLE as above
    std::string input;
    int status;
    std::string out;  // the whole standard output
    std::string err;  // the start of standard error
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class Commands : public testing::TestWithParam<CommandCase> {};

TEST_P(Commands, ExitAndSayThis) {
    Folder folder;
    std::vector<std::string> arguments;
    std::istringstream words(filled(GetParam().arguments, folder.path));
    for (std::string word; words >> word;) arguments.push_back(word);
    std::istringstream in(GetParam().input);
    std::ostringstream out, err;
    EXPECT_EQ(runGeoTool(arguments, in, out, err), GetParam().status) << err.str();
    EXPECT_EQ(out.str(), filled(GetParam().out, folder.path));
    EXPECT_TRUE(err.str().starts_with(filled(GetParam().err, folder.path))) << err.str();
}

const std::string kHarbourLines =
    "harbour\t0\tHarbour basin\tPolygon\t4\nharbour\t1\tQuay road\tLine String\t3\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, Commands,
    testing::Values(
        CommandCase{"Version", "--version", "", 0, "quillmap4-geo 4.0.0\n", ""},
        CommandCase{"Nothing", "", "", 2, "",
                    "quillmap4-geo: Say what to do: features, serve or batch.\nRun "
                    "\"quillmap4-geo --help\" for what it takes.\n"},
        CommandCase{"UnknownCommand", "draw", "", 2, "",
                    "quillmap4-geo: The following argument was not expected: draw\n"},
        CommandCase{"FeaturesByArea", "features $SAMPLE --area 123,120,5,28", "", 0, kHarbourLines,
                    ""},
        CommandCase{"FeaturesByPosition", "features $SAMPLE --position 47.5,-122.258333", "", 0,
                    kHarbourLines, ""},
        CommandCase{"FeaturesElsewhere", "features $SAMPLE --area 123,120,5,30", "", 0, "", ""},
        CommandCase{"FeaturesAreaBeyondTheGrid", "features $SAMPLE --area 123,120,5,32", "", 2, "",
                    "quillmap4-geo: --area: \"123,120,5,32\" is no area"},
        CommandCase{"FeaturesAreaAndPosition",
                    "features $SAMPLE --area 123,120,5,28 --position 47,-122", "", 2, "",
                    "quillmap4-geo: --area excludes --position\n"},
        CommandCase{"FeaturesOfNoFile", "features $DIR/none.shp --area 123,120,5,28", "", 1, "",
                    "Could not read \"$DIR/none.shp\": no such file or directory.\n"},
        CommandCase{
            "ServeUntilTheEnd", "serve", "{\"id\":1,\"op\":\"hello\"}\r\nnonsense\n", 0,
            "{\"id\":1,\"ok\":true,\"version\":\"4.0.0\",\"protocol\":1}\n" + kNoObject + "\n",
            ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The real program: its version, a bad command line, and serve over a pipe
// until the end of its input.
TEST(Program, RunsAsItsOwnProcess) {
    Folder folder;
    const fs::path out = folder.path / "out", in = folder.path / "in";
    std::ofstream(in) << "{\"id\":7,\"op\":\"hello\"}\n{\"id\":8,\"op\":\"features\",\"file\":\""
                      << kSample << "\",\"area\":" << kAreaJson << "}\n";
    const std::string program = QUILLMAP4_GEO_PROGRAM;
    const auto run = [&](const std::string& arguments) {
        const int status =
            std::system((program + " " + arguments + " >" + out.string() + " 2>/dev/null").c_str());
        std::ifstream read(out);
        return std::pair{WEXITSTATUS(status),
                         std::string(std::istreambuf_iterator<char>(read), {})};
    };
    EXPECT_EQ(run("--version"), std::pair(0, std::string("quillmap4-geo 4.0.0\n")));
    EXPECT_EQ(run("features").first, 2);
    EXPECT_EQ(run("--help").first, 0);
    const auto [listed, options] = run("batch --help");
    EXPECT_EQ(listed, 0);
    EXPECT_NE(options.find("--vtp-layer"), std::string::npos) << options;
    EXPECT_EQ(run("features " + kSample + " --area 123,120,5,28"), std::pair(0, kHarbourLines));
    const auto [status, replies] = run("serve <" + in.string());
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(
        replies.starts_with("{\"id\":7,\"ok\":true,\"version\":\"4.0.0\",\"protocol\":1}\n"
                            "{\"id\":8,\"ok\":true,\"features\":[{\"layer\":0,"))
        << replies;
    EXPECT_TRUE(replies.ends_with("],\"notes\":[]}\n")) << replies;
}

}  // namespace
}  // namespace qm4::geo
