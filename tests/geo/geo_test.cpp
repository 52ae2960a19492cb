// Shapes from vector files: features that meet the area, clipping at its
// edges, other coordinate systems, simplification, the trace exported and
// read back, and every kind of bad input, with fixtures made here by GDAL.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "geo/shape_import.h"
#include "geo/trace_export.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;
using Pixels = std::vector<std::pair<int, int>>;

// The README's harbour: cell 123, 120, area 5, 28.
const AreaEdges kArea{47.5048828125, 47.493896484375, -122.2705078125, -122.255859375};

struct Scratch {
    fs::path folder = fs::temp_directory_path() / ("qm4geo-" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(folder); }
    ~Scratch() { fs::remove_all(folder); }
    std::string file(const std::string& name, const std::string& text = "") const {
        if (!text.empty()) std::ofstream(folder / name) << text;
        return (folder / name).string();
    }
};

std::string lonLat(std::pair<double, double> pixel) {
    const LatLon p = pixelToLatLon(kArea, pixel.first, pixel.second);
    std::ostringstream out;
    out.precision(15);
    out << "[" << p.lon << ", " << p.lat << "]";
    return out.str();
}

// A GeoJSON file of features, each "Polygon" or "LineString" (or any other
// type) with its points given as picture pixels.
std::string geojson(
    const std::vector<std::pair<std::string, std::vector<std::pair<double, double>>>>& features) {
    std::string out = R"({"type": "FeatureCollection", "features": [)";
    for (const auto& [type, points] : features) {
        std::string coordinates;
        for (const auto& p : points) coordinates += (coordinates.empty() ? "" : ", ") + lonLat(p);
        if (type == "Polygon") coordinates = "[" + coordinates + ", " + lonLat(points[0]) + "]";
        if (type == "Point")
            coordinates = lonLat(points[0]).substr(1, lonLat(points[0]).size() - 2);
        out += std::string(out.back() == '[' ? "" : ", ") +
               R"({"type": "Feature", "properties": {"name": ")" + type +
               R"("}, "geometry": {"type": ")" + type + R"(", "coordinates": [)" + coordinates +
               "]}}";
    }
    return out + "]}";
}

Pixels rounded(const Piece& piece) {
    Pixels pixels;
    for (const PicturePoint& p : piece)
        pixels.emplace_back(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
    return pixels;
}

Expected<FeatureShape> shapeOf(const std::string& path, long long id, double tolerance = 0) {
    return featureShape(path, 0, id, kArea, tolerance);
}

const std::vector<std::pair<double, double>> kSquare{{10, 10}, {100, 10}, {100, 100}, {10, 100}};
const std::vector<std::pair<double, double>> kLine{{20, 200}, {60, 150}, {200, 140}};

TEST(Shapes, ListsTheFeaturesThatMeetTheAreaAndGivesTheirPixels) {
    Scratch scratch;
    const std::string path = scratch.file(
        "shapes.geojson", geojson({{"Polygon", kSquare},
                                   {"LineString", kLine},
                                   {"LineString", {{400, 400}, {500, 420}}},
                                   {"LineString", {{255, 255}, {255, 90}, {90, 255}}}}));
    const auto list = listFeatures(path, kArea, {});
    ASSERT_TRUE(list.ok()) << list.error().message;
    ASSERT_EQ(list->features.size(), 3u);  // the third lies beyond the area
    EXPECT_EQ(list->features[0].geometryType, "Polygon");
    EXPECT_EQ(list->features[0].pointsInside, 5);  // the ring's closing point counts too
    EXPECT_EQ(list->features[1].name, "LineString");
    EXPECT_EQ(list->features[2].pointsInside, 3);  // on the last pixel row and column
    EXPECT_EQ(rounded(shapeOf(path, 0)->pieces.at(0)),
              (Pixels{{10, 10}, {100, 10}, {100, 100}, {10, 100}}));
    EXPECT_TRUE(shapeOf(path, 0)->polygon);
    EXPECT_EQ(rounded(shapeOf(path, 1)->pieces.at(0)), (Pixels{{20, 200}, {60, 150}, {200, 140}}));
}

TEST(Shapes, ClipsAtTheAreaEdgesAndTakesTheLongestPieceFirst) {
    Scratch scratch;
    const std::string path = scratch.file(
        "clip.geojson",
        geojson(
            {{"Polygon", {{-50, -50}, {300, -50}, {300, 300}, {-50, 300}}},
             {"LineString", {{-10, 50}, {40, 50}, {40, -20}, {60, -20}, {60, 50}, {300, 50}}}}));
    Pixels ring = rounded(shapeOf(path, 0)->pieces.at(0));
    std::sort(ring.begin(), ring.end());
    EXPECT_EQ(ring, (Pixels{{0, 0}, {0, 255}, {255, 0}, {255, 255}}));
    const auto line = shapeOf(path, 1);
    ASSERT_EQ(line->pieces.size(), 2u);
    EXPECT_EQ(rounded(line->pieces[0]).front(), std::make_pair(60, 0));
    EXPECT_EQ(rounded(line->pieces[1]), (Pixels{{0, 50}, {40, 50}, {40, 0}}));
}

// A UTM shapefile (zone 10 north, metres) gives the same pixels as the
// WGS 84 file of the same square.
TEST(Shapes, ReprojectsAShapefileInUtm) {
    Scratch scratch;
    GDALAllRegister();
    OGRSpatialReference utm, wgs;
    utm.importFromEPSG(32610);
    wgs.SetWellKnownGeogCS("WGS84");
    wgs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> toUtm(
        OGRCreateCoordinateTransformation(&wgs, &utm));
    const std::string path = scratch.file("utm.shp");
    {
        GDALDatasetUniquePtr file(GetGDALDriverManager()
                                      ->GetDriverByName("ESRI Shapefile")
                                      ->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        OGRLayer* layer = file->CreateLayer("utm", &utm, wkbPolygon, nullptr);
        OGRLinearRing ring;
        for (const auto& [x, y] : kSquare) {
            const LatLon p = pixelToLatLon(kArea, x, y);
            ring.addPoint(p.lon, p.lat);
        }
        ring.closeRings();
        ring.transform(toUtm.get());
        OGRPolygon square;
        square.addRing(&ring);
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetGeometry(&square);
        ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    const auto shape = shapeOf(path, 0);
    ASSERT_TRUE(shape.ok()) << shape.error().message;
    EXPECT_EQ(rounded(shape->pieces.at(0)), (Pixels{{10, 10}, {100, 10}, {100, 100}, {10, 100}}));
}

// One feature's pieces inside the area, each as exact pixel lists.
struct PieceCase {
    const char* name;
    std::string file;
    double tolerance;
    std::vector<Pixels> pieces;
};

void PrintTo(const PieceCase& c, std::ostream* os) { *os << c.name; }

class Pieces : public testing::TestWithParam<PieceCase> {};

TEST_P(Pieces, AreExactlyThese) {
    Scratch scratch;
    const auto shape =
        shapeOf(scratch.file("piece.geojson", GetParam().file), 0, GetParam().tolerance);
    ASSERT_TRUE(shape.ok()) << shape.error().message;
    std::vector<Pixels> pieces;
    for (const Piece& piece : shape->pieces) pieces.push_back(rounded(piece));
    EXPECT_EQ(pieces, GetParam().pieces);
}

std::vector<std::pair<double, double>> zigzag() {
    std::vector<std::pair<double, double>> points;
    for (int x = 10; x <= 240; x += 10) points.emplace_back(x, 100 + (x / 10 % 2 ? 0.8 : -0.8));
    return points;
}

// A bump one pixel high in a straight line.
const std::vector<std::pair<double, double>> kBump{{10, 100}, {125, 101}, {240, 100}};

INSTANTIATE_TEST_SUITE_P(
    Rows, Pieces,
    testing::Values(PieceCase{"ZigzagWithinTwoPixels",
                              geojson({{"LineString", zigzag()}}),
                              2,
                              {{{10, 101}, {240, 99}}}},
                    PieceCase{"BumpKeptBelowItsHeight",
                              geojson({{"LineString", kBump}}),
                              0.9,
                              {{{10, 100}, {125, 101}, {240, 100}}}},
                    PieceCase{"BumpDroppedAboveItsHeight",
                              geojson({{"LineString", kBump}}),
                              1.1,
                              {{{10, 100}, {240, 100}}}},
                    // The two halves of the crossing, each a triangle of its own.
                    PieceCase{"BowTieIsRepaired",
                              geojson({{"Polygon", {{10, 10}, {100, 100}, {100, 10}, {10, 100}}}}),
                              0,
                              {{{10, 100}, {10, 10}, {55, 55}}, {{100, 100}, {55, 55}, {100, 10}}}},
                    // A C whose two legs reach down into the area: the wider leg first,
                    // each from its top-left corner, clockwise.
                    PieceCase{"AreaCutsAPolygonInTwoLargestFirst",
                              geojson({{"Polygon",
                                        {{10, -50},
                                         {200, -50},
                                         {200, 50},
                                         {100, 50},
                                         {100, -20},
                                         {30, -20},
                                         {30, 100},
                                         {10, 100}}}}),
                              0,
                              {{{100, 0}, {200, 0}, {200, 50}, {100, 50}},
                               {{10, 0}, {30, 0}, {30, 100}, {10, 100}}}},
                    // Two arms of one size, from the north and the west edge: the
                    // one whose first point lies higher first, though it lies east.
                    PieceCase{"PiecesOfOneSizeTopMostFirst",
                              geojson({{"Polygon",
                                        {{-50, -50},
                                         {220, -50},
                                         {220, 100},
                                         {200, 100},
                                         {200, -20},
                                         {-20, -20},
                                         {-20, 150},
                                         {100, 150},
                                         {100, 170},
                                         {-50, 170}}}}),
                              0,
                              {{{200, 0}, {220, 0}, {220, 100}, {200, 100}},
                               {{0, 150}, {100, 150}, {100, 170}, {0, 170}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A CSV with a WKT column declares no coordinate system: its lines are
// taken as longitude/latitude, found inside the area, and the list says so;
// the name comes from a field that looks like one, not the first field.
TEST(Shapes, LayerWithoutCoordinateSystemIsTakenAsLongitudeLatitude) {
    Scratch scratch;
    const auto wkt = [](std::pair<double, double> from, std::pair<double, double> to) {
        std::ostringstream line;
        line.precision(15);
        line << "\"LINESTRING (";
        for (const auto& [x, y] : {from, to}) {
            const LatLon p = pixelToLatLon(kArea, x, y);
            line << p.lon << " " << p.lat << (x == to.first ? ")\"" : ", ");
        }
        return line.str();
    };
    const std::string path =
        scratch.file("pier.csv", "WKT,code,Name_EN\n" + wkt({20, 30}, {200, 40}) + ",P1,Pier\n" +
                                     wkt({400, 30}, {500, 40}) + ",P2,Far\n");
    const auto list = listFeatures(path, kArea, {});
    ASSERT_TRUE(list.ok()) << list.error().message;
    ASSERT_EQ(list->features.size(), 1u);
    EXPECT_EQ(list->features[0].name, "Pier");
    EXPECT_EQ(list->features[0].pointsInside, 2);
    ASSERT_EQ(list->notes.size(), 1u);
    EXPECT_EQ(list->notes[0],
              "Layer \"pier\" declares no coordinate system; it was taken as WGS 84 longitude "
              "and latitude.");
    EXPECT_EQ(rounded(shapeOf(path, list->features[0].id)->pieces.at(0)),
              (Pixels{{20, 30}, {200, 40}}));
}

// The trace exported as GeoJSON or KML reads back to the same pixels, in
// the same order, each point once (a line's opening press lists its first
// point three times), with its attributes.
TEST(Shapes, ExportedTraceReadsBackToTheSamePixelsAndAttributes) {
    Scratch scratch;
    std::vector<LatLon> lwm, vtp(2, pixelToLatLon(kArea, kLine[0].first, kLine[0].second));
    for (const auto& [x, y] : kSquare) lwm.push_back(pixelToLatLon(kArea, x, y));
    for (const auto& [x, y] : kLine) vtp.push_back(pixelToLatLon(kArea, x, y));
    for (const char* name : {"trace.geojson", "trace.kml"}) {
        const std::string path = scratch.file(name);
        ASSERT_TRUE(
            exportTrace(path, lwm, vtp, false, {"Harbour", "Land", "12", "\"1030\"", "4"}).ok());
        const auto list = listFeatures(path, kArea, {});
        ASSERT_TRUE(list.ok() && list->features.size() == 2) << name;
        EXPECT_EQ(rounded(featureShape(path, 0, list->features[0].id, kArea, 0)->pieces.at(0)),
                  (Pixels{{10, 10}, {100, 10}, {100, 100}, {10, 100}}))
            << name;
        EXPECT_EQ(rounded(featureShape(path, 0, list->features[1].id, kArea, 0)->pieces.at(0)),
                  (Pixels{{20, 200}, {60, 150}, {200, 140}}))
            << name;
        GDALDatasetUniquePtr file(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR));
        ASSERT_TRUE(file) << name;
        std::vector<std::string> read;
        for (const auto& feature : *file->GetLayer(0)) {
            std::string values;
            for (const char* field : {"name", "project", "mask", "altitude", "vectortype", "layer"})
                values += std::string(feature->GetFieldAsString(field)) + "|";
            read.push_back(values);
        }
        EXPECT_EQ(read, (std::vector<std::string>{"LWM|Harbour|Land|12|\"1030\"|4|",
                                                  "VTP|Harbour|Land|12|\"1030\"|4|"}))
            << name;
    }
    EXPECT_FALSE(exportTrace(scratch.file("trace.txt"), lwm, vtp, false, {}).ok());
}

struct BadInput {
    const char* name;
    std::string file;  // the file's text; "UTM" and "LOCAL" make a layer of that system
    std::string message;
};

void PrintTo(const BadInput& input, std::ostream* os) { *os << input.name; }

class BadInputs : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, SayWhatIsWrong) {
    Scratch scratch;
    std::string path = scratch.file("bad.geojson", GetParam().file);
    if (GetParam().file == "LOCAL") {
        path = scratch.file("bad.csv", "WKT,name\n\"LINESTRING (0 0,1 1)\",x\n");
        path = scratch.file("bad.vrt",
                            "<OGRVRTDataSource><OGRVRTLayer name=\"bad\"><SrcDataSource>" + path +
                                "</SrcDataSource><LayerSRS>LOCAL_CS[\"plant\",UNIT[\"metre\",1]]"
                                "</LayerSRS><GeometryField encoding=\"WKT\" field=\"WKT\"/>"
                                "</OGRVRTLayer></OGRVRTDataSource>");
    }
    const auto list = listFeatures(path, kArea, {});
    const auto shape = list && !list->features.empty()
                           ? featureShape(path, 0, list->features[0].id, kArea, 0)
                           : shapeOf(path, 0);
    const std::string said = !list ? list.error().message : !shape ? shape.error().message : "ok";
    EXPECT_NE(said.find(GetParam().message), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadInputs,
    testing::Values(BadInput{"NotAVectorFile", "just some text",
                             "bad.geojson\": it is not recognized as a supported file format."},
                    BadInput{"NoSuchFile", "", "bad.geojson\": no such file or directory."},
                    BadInput{"NoFeatureInTheArea",
                             geojson({{"LineString", {{400, 400}, {500, 400}}}}),
                             "has no part inside the area"},
                    BadInput{"EmptyShape",
                             R"({"type": "FeatureCollection", "features": [{"type": "Feature",
                 "properties": {}, "geometry": {"type": "LineString", "coordinates": []}}]})",
                             "has no shape"},
                    BadInput{"PointsOnly", geojson({{"Point", {{50, 50}}}}), "is a point"},
                    BadInput{"SystemWithoutWgs84", "LOCAL", "cannot be turned into WGS 84"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm4::geo
