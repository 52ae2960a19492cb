// The region map's outlines: lines and rings clipped to a box, simplified to
// a pixel, turned around the globe across the antimeridian; and the helper's
// request for them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "geo/geo_requests.h"
#include "geo/outlines.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;

struct OutlineCase {
    const char* name;
    std::string geometries;  // GeoJSON geometries, separated by commas
    AreaEdges box;
    double pixel;
    std::string lines;  // "lat lon, lat lon; ..." in the order given
};

void PrintTo(const OutlineCase& c, std::ostream* os) { *os << c.name; }

std::string text(const std::vector<Outline>& lines) {
    std::string out;
    for (const Outline& line : lines) {
        out += out.empty() ? "" : "; ";
        for (std::size_t i = 0; i < line.size(); ++i) {
            char pair[64];
            std::snprintf(pair, sizeof pair, "%s%.10g %.10g", i ? ", " : "", line[i].lat,
                          line[i].lon);
            out += pair;
        }
    }
    return out;
}

// The geometries as the features of a GeoJSON file in a scratch folder.
fs::path fileOf(const std::string& geometries) {
    const fs::path path =
        fs::temp_directory_path() / ("qm4-outlines-" + std::to_string(::getpid()) + ".geojson");
    std::string features;
    std::size_t depth = 0, start = 0;
    for (std::size_t i = 0; i < geometries.size(); ++i) {
        depth += geometries[i] == '{';
        depth -= geometries[i] == '}';
        if (depth == 0 && geometries[i] == '}') {
            features += std::string(features.empty() ? "" : ",") +
                        R"({"type":"Feature","properties":{},"geometry":)" +
                        geometries.substr(start, i + 1 - start) + "}";
            start = geometries.find('{', i);
        }
    }
    std::ofstream(path) << R"({"type":"FeatureCollection","features":[)" << features << "]}";
    return path;
}

class Outlines : public testing::TestWithParam<OutlineCase> {};

TEST_P(Outlines, AreTheLinesInTheBox) {
    const fs::path file = fileOf(GetParam().geometries);
    const auto found = outlines(file.string(), GetParam().box, GetParam().pixel);
    fs::remove(file);
    ASSERT_TRUE(found) << found.error().message;
    EXPECT_EQ(text(*found), GetParam().lines);
}

const AreaEdges kUnit{1, 0, 0, 1};
const std::string kWiggles =
    R"({"type":"LineString","coordinates":[[0.1,0.5],[0.2,0.5001],[0.3,0.5],[0.4,0.5001],[0.5,0.5]]})";

INSTANTIATE_TEST_SUITE_P(
    Rows, Outlines,
    testing::Values(
        OutlineCase{"LineInside", R"({"type":"LineString","coordinates":[[0.1,0.2],[0.3,0.4]]})",
                    kUnit, 1e-6, "0.2 0.1, 0.4 0.3"},
        OutlineCase{"LineCutByTheBox",
                    R"({"type":"LineString","coordinates":[[-0.5,0.5],[0.5,0.5]]})", kUnit, 1e-6,
                    "0.5 0, 0.5 0.5"},
        OutlineCase{
            "PolygonAsItsRing",
            R"({"type":"Polygon","coordinates":[[[0.25,0.25],[0.75,0.25],[0.75,0.75],[0.25,0.25]]]})",
            kUnit, 1e-6, "0.25 0.25, 0.25 0.75, 0.75 0.75, 0.25 0.25"},
        OutlineCase{"PolygonCutKeepsNoBoxEdge",
                    R"({"type":"Polygon","coordinates":[[[-1,-1],[2,-1],[-1,2],[-1,-1]]]})", kUnit,
                    1e-6, "0 1, 1 0"},
        OutlineCase{"WigglesBelowThePixelGo", kWiggles, kUnit, 0.001, "0.5 0.1, 0.5 0.5"},
        OutlineCase{"WigglesAboveThePixelStay", kWiggles, kUnit, 0.00001,
                    "0.5 0.1, 0.5001 0.2, 0.5 0.3, 0.5001 0.4, 0.5 0.5"},
        OutlineCase{"PointsLeftOut", R"({"type":"Point","coordinates":[0.5,0.5]})", kUnit, 1e-6,
                    ""},
        OutlineCase{"LineElsewhere", R"({"type":"LineString","coordinates":[[5,5],[6,6]]})", kUnit,
                    1e-6, ""},
        OutlineCase{"AcrossTheAntimeridianTheLinesGoOn",
                    R"({"type":"LineString","coordinates":[[179.5,0.5],[180,0.5]]},)"
                    R"({"type":"LineString","coordinates":[[-180,0.5],[-179.5,0.5]]})",
                    AreaEdges{1, 0, 179.75, 180.25}, 1e-6,
                    "0.5 179.75, 0.5 180; 0.5 180, 0.5 180.25"},
        OutlineCase{"WestOfTheAntimeridianToo",
                    R"({"type":"LineString","coordinates":[[179.5,0.5],[180,0.5]]})",
                    AreaEdges{1, 0, -180.25, -179.75}, 1e-6, "0.5 -180.25, 0.5 -180"}),
    [](const auto& info) { return std::string(info.param.name); });

// The request gives the same lines as [latitude, longitude] pairs, and says
// what is wrong with a request it cannot take.
TEST(OutlineRequests, GiveTheLinesOrSayWhy) {
    const fs::path file = fileOf(R"({"type":"LineString","coordinates":[[-0.5,0.5],[0.5,0.5]]})");
    const std::string area = R"("area":{"north":1,"south":0,"west":0,"east":1})";
    for (
        const auto& [request, reply] :
        {std::pair{R"({"id":7,"op":"outlines","file":")" + file.string() + "\"," + area +
                       R"(,"pixel":0.001})",
                   std::string(R"({"id":7,"ok":true,"lines":[[[0.5,0],[0.5,0.5]]]})")},
         {R"({"id":8,"op":"outlines","file":")" + file.string() + "\"," + area + R"(,"pixel":0})",
          R"({"id":8,"ok":false,"error":"The request needs \"pixel\", a size in degrees above 0."})"},
         {R"({"id":9,"op":"outlines","file":")" + file.string() + R"(","pixel":1})",
          R"({"id":9,"ok":false,"error":"The request needs \"area\", an object with north, south, west and east in degrees."})"}})
        EXPECT_EQ(answerRequest(request), std::vector<std::string>{reply});
    fs::remove(file);
}

}  // namespace
}  // namespace qm4::geo
