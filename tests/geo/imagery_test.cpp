// Cutting the area's picture from imagery: rasters in WGS 84, in a UTM zone
// and with a bare world file, grey, RGB, RGBA and paletted, made here by GDAL
// with coloured blocks at known places; and every kind of bad raster.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "geo/imagery.h"

namespace qm4::geo {
namespace {

namespace fs = std::filesystem;
using Rgb = std::array<int, 3>;
using Bytes = std::vector<GByte>;

// The README's harbour: cell 123, 120, area 5, 28.
const AreaEdges kArea{47.5048828125, 47.493896484375, -122.2705078125, -122.255859375};
const Rgb kGround{100, 160, 90}, kRed{230, 40, 40}, kBlue{40, 40, 230}, kWhite{255, 255, 255};
const std::array<Rgb, 4> kPalette{kGround, kRed, kBlue, kWhite};

struct Block {
    int colour;   // in kPalette
    double x, y;  // its centre on the capture's picture
};
// Both east of the capture's x 128, where some rasters end or turn
// transparent; far enough from the middle that a picture stretched by a
// pixel shows it.
const Block kBlocks[] = {{1, 140, 30}, {2, 235, 225}};

enum class Bands { Grey, Rgb, Rgba, Paletted };
enum class Container { GeoTiff, PngWorldFile, PngAlone, Text, Missing };

struct Raster {
    Bands bands = Bands::Rgb;
    bool utm = false;  // zone 10 north in metres, 2 m pixels; else degrees, half a capture pixel
    Container container = Container::GeoTiff;
    double firstX = -20;   // the capture's x where the raster's west edge lies
    bool farAway = false;  // moved to the other side of the globe
    // A wider type holds each byte v as kWide's offset + v * step, with a
    // pixel of 0 and one of 255 (and, when the file keeps statistics of the
    // colours' range, one far beyond it) in the north-west corner.
    GDALDataType type = GDT_Byte;
    bool statistics = false;
};

struct Wide {
    GDALDataType type;
    double offset, step, beyond;
};
const Wide kWide[] = {
    {GDT_UInt16, 1000, 16, 65535}, {GDT_Int16, -3000, 20, 32767}, {GDT_Float32, 0, 1.0 / 255, 1e6}};

// What the colours of a raster become in the picture.
Rgb seen(const Raster& raster, int colour) {
    const Rgb rgb = kPalette[colour];
    return raster.bands == Bands::Grey ? Rgb{rgb[0], rgb[0], rgb[0]} : rgb;
}

struct Scratch {
    fs::path folder = fs::temp_directory_path() / ("qm4imagery-" + std::to_string(::getpid()));
    fs::path out = folder / "out";
    Scratch() { fs::create_directories(out); }
    ~Scratch() { fs::remove_all(folder); }
};

struct Fixture {
    std::string path;
    std::vector<std::array<double, 2>> centres;  // of the blocks as drawn, on the capture's picture
};

// Ground with the blocks, 3 capture pixels either side of their centres, and
// with Rgba everything west of the capture's x 128 white and half transparent.
Fixture makeRaster(const Raster& raster, const Scratch& scratch) {
    GDALAllRegister();
    const bool tiff = raster.container == Container::GeoTiff;
    Fixture fixture{(scratch.folder / (tiff ? "raster.tif" : "raster.png")).string(), {}};
    if (raster.container == Container::Text) std::ofstream(fixture.path) << "no picture at all\n";
    if (raster.container == Container::Text || raster.container == Container::Missing)
        return fixture;
    OGRSpatialReference wgs, utm;
    wgs.SetWellKnownGeogCS("WGS84");
    utm.importFromEPSG(32610);
    for (auto* system : {&wgs, &utm}) system->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> toWgs(
        OGRCreateCoordinateTransformation(&utm, &wgs)),
        toUtm(OGRCreateCoordinateTransformation(&wgs, &utm));
    const LatLon nw = pixelToLatLon(kArea, raster.firstX, -20), se = pixelToLatLon(kArea, 275, 275);
    double x0 = nw.lon, y0 = nw.lat, x1 = se.lon, y1 = se.lat;
    double step = kAreaWidth / kAreaPixelSteps / 2;
    if (raster.utm) {
        toUtm->TransformBounds(nw.lon, se.lat, se.lon, nw.lat, &x0, &y1, &x1, &y0, 21);
        step = 2;
    }
    const int width = static_cast<int>((x1 - x0) / step),
              height = static_cast<int>((y0 - y1) / step);
    const int bands = raster.bands == Bands::Rgb ? 3 : raster.bands == Bands::Rgba ? 4 : 1;
    Bytes pixels(static_cast<std::size_t>(width) * height * bands);  // interleaved
    std::vector<std::array<double, 3>> sums(std::size(kBlocks));
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            double lon = x0 + (i + 0.5) * step, lat = y0 - (j + 0.5) * step, x, y;
            if (raster.utm) toWgs->Transform(1, &lon, &lat);
            latLonToPixel(kArea, {lat, lon}, x, y);
            int colour = raster.bands == Bands::Rgba && x < 128 ? 3 : 0;
            for (std::size_t b = 0; b < std::size(kBlocks); ++b) {
                if (std::fabs(x - kBlocks[b].x) > 3 || std::fabs(y - kBlocks[b].y) > 3) continue;
                colour = kBlocks[b].colour;
                sums[b] = {sums[b][0] + x, sums[b][1] + y, sums[b][2] + 1};
            }
            GByte* at = &pixels[(static_cast<std::size_t>(j) * width + i) * bands];
            for (int c = 0; c < std::min(bands, 3); ++c)
                at[c] = static_cast<GByte>(raster.bands == Bands::Paletted ? colour
                                                                           : kPalette[colour][c]);
            if (bands == 4) at[3] = x < 128 ? 128 : 255;
            if (raster.type != GDT_Byte && j == 0 && i < 2) std::fill(at, at + bands, i * 255);
        }
    }
    for (const auto& sum : sums) fixture.centres.push_back({sum[0] / sum[2], sum[1] / sum[2]});

    CPLStringList options;
    if (bands >= 3) options.SetNameValue("PHOTOMETRIC", "RGB");
    if (bands == 4) options.SetNameValue("ALPHA", "YES");
    GDALDatasetUniquePtr file(GetGDALDriverManager()
                                  ->GetDriverByName(tiff ? "GTiff" : "MEM")
                                  ->Create(tiff ? fixture.path.c_str() : "", width, height, bands,
                                           raster.type, tiff ? options.List() : nullptr));
    std::vector<double> values(pixels.begin(), pixels.end());
    for (const Wide& wide : kWide) {
        if (wide.type != raster.type) continue;
        for (double& v : values) v = wide.offset + v * wide.step;
        for (int b = 1; b <= bands; ++b) {
            if (!raster.statistics) continue;
            values[static_cast<std::size_t>(2 * bands + b - 1)] = wide.beyond;
            file->GetRasterBand(b)->SetStatistics(wide.offset, wide.offset + 255 * wide.step, 0, 0);
        }
    }
    EXPECT_EQ(file->RasterIO(GF_Write, 0, 0, width, height, values.data(), width, height,
                             GDT_Float64, bands, nullptr, bands * 8, bands * width * 8, 8, nullptr),
              CE_None);
    if (raster.bands == Bands::Paletted) {
        GDALColorTable table;
        for (short c = 0; c < 4; ++c) {
            const auto& [r, g, b] = kPalette[c];
            const GDALColorEntry entry{short(r), short(g), short(b), 255};
            table.SetColorEntry(c, &entry);
        }
        file->GetRasterBand(1)->SetColorTable(&table);
    }
    if (raster.farAway) x0 += 270, y0 -= 81;
    double transform[6] = {x0, step, 0, y0, 0, -step};
    if (tiff) {
        file->SetGeoTransform(transform);
        file->SetSpatialRef(raster.utm ? &utm : &wgs);
        return fixture;
    }
    GDALDatasetUniquePtr(GetGDALDriverManager()->GetDriverByName("PNG")->CreateCopy(
        fixture.path.c_str(), file.get(), FALSE, nullptr, nullptr, nullptr));
    if (raster.container == Container::PngWorldFile) {  // a world file names pixel centres
        std::ofstream world(fs::path(fixture.path).replace_extension(".pgw"));
        world.precision(17);
        world << step << "\n0\n0\n" << -step << "\n" << x0 + step / 2 << "\n" << y0 - step / 2;
    }
    return fixture;
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    return names;
}

struct Cut {
    const char* name;
    Raster raster;
    int size;
    std::string out;
};

void PrintTo(const Cut& cut, std::ostream* os) { *os << cut.name; }

class Cuts : public testing::TestWithParam<Cut> {};

// Each block lands where the capture puts its centre: at 256 z on the z x z
// pixels of the capture's pixel, whose middle is z x + (z - 1) / 2.
TEST_P(Cuts, PutEachPlaceOnItsPixel) {
    const Cut& cut = GetParam();
    Scratch scratch;
    const Fixture fixture = makeRaster(cut.raster, scratch);
    const std::string out = (scratch.out / cut.out).string();
    const Status status = cutImagery(fixture.path, kArea, cut.size, out);
    ASSERT_TRUE(status.ok()) << status.error().message;
    EXPECT_EQ(filesIn(scratch.out), std::vector<std::string>{cut.out});

    GDALDatasetUniquePtr picture(GDALDataset::Open(out.c_str(), GDAL_OF_RASTER));
    ASSERT_TRUE(picture);
    EXPECT_STREQ(picture->GetDriver()->GetDescription(),
                 fs::path(cut.out).extension() == ".png" ? "PNG" : "BMP");
    ASSERT_EQ(picture->GetRasterCount(), 3);
    ASSERT_EQ(picture->GetRasterXSize(), cut.size);
    ASSERT_EQ(picture->GetRasterYSize(), cut.size);
    const int n = cut.size;
    Bytes rgb(static_cast<std::size_t>(n) * n * 3);  // interleaved
    ASSERT_EQ(picture->RasterIO(GF_Read, 0, 0, n, n, rgb.data(), n, n, GDT_Byte, 3, nullptr, 3,
                                3 * n, 1, nullptr),
              CE_None);
    const double z = n / 256.0;
    const auto colourAt = [&](double x, double y) {
        const GByte* at = &rgb[(static_cast<std::size_t>(std::lround(y)) * n + std::lround(x)) * 3];
        return Rgb{at[0], at[1], at[2]};
    };
    const auto expectColour = [&](double x, double y, const Rgb& expected, const char* what) {
        const Rgb got = colourAt(z * x + (z - 1) / 2, z * y + (z - 1) / 2);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], expected[c], 6) << what << " channel " << c;
    };
    const Rgb ground = seen(cut.raster, 0);
    for (std::size_t b = 0; b < std::size(kBlocks); ++b) {
        const double ex = z * fixture.centres[b][0] + (z - 1) / 2,
                     ey = z * fixture.centres[b][1] + (z - 1) / 2;
        double sum = 0, sx = 0, sy = 0;
        for (int y = std::lround(ey - 8 * z); y <= std::lround(ey + 8 * z); ++y) {
            for (int x = std::lround(ex - 8 * z); x <= std::lround(ex + 8 * z); ++x) {
                const Rgb got = colourAt(x, y);
                const double w = std::abs(got[0] - ground[0]) + std::abs(got[1] - ground[1]) +
                                 std::abs(got[2] - ground[2]);
                sum += w, sx += w * x, sy += w * y;
            }
        }
        ASSERT_GT(sum, 0) << "block " << b << " not found";
        EXPECT_NEAR(sx / sum, ex, 0.1 * z) << "block " << b;
        EXPECT_NEAR(sy / sum, ey, 0.1 * z) << "block " << b;
        expectColour(fixture.centres[b][0], fixture.centres[b][1],
                     seen(cut.raster, kBlocks[b].colour), "block");
    }
    // Transparency and the land beyond the raster's edge darken towards black.
    const Rgb west = cut.raster.bands == Bands::Rgba ? Rgb{128, 128, 128}
                     : cut.raster.firstX > 0         ? Rgb{0, 0, 0}
                                                     : ground;
    expectColour(60, 128, west, "west");
    expectColour(200, 128, ground, "east");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Cuts,
    testing::Values(
        Cut{"Wgs84At256", {}, 256, "cut.png"}, Cut{"Wgs84At1024", {}, 1024, "cut.bmp"},
        Cut{"UtmAt256", {.utm = true}, 256, "cut.bmp"},
        Cut{"UtmAt768", {.utm = true}, 768, "cut.png"},
        Cut{"UtmAt1024", {.utm = true}, 1024, "CUT.BMP"},
        Cut{"GreyAt512", {.bands = Bands::Grey}, 512, "cut.png"},
        Cut{"RgbaHalfTransparentWestIsDarker", {.bands = Bands::Rgba}, 256, "cut.png"},
        Cut{"PalettedInUtm", {.bands = Bands::Paletted, .utm = true}, 256, "cut.png"},
        Cut{"PngWithWorldFileIsWgs84", {.container = Container::PngWorldFile}, 1024, "cut.png"},
        Cut{"CoveringTheEastHalfFillsBlack", {.firstX = 128}, 256, "cut.bmp"},
        Cut{"SixteenBitsSpreadFromTheirRange", {.type = GDT_UInt16}, 256, "cut.bmp"},
        Cut{"SignedSixteenBitGreyInUtm",
            {.bands = Bands::Grey, .utm = true, .type = GDT_Int16},
            512,
            "cut.png"},
        Cut{"FloatsSpreadFromTheirRange", {.type = GDT_Float32}, 256, "cut.png"},
        Cut{"KeptStatisticsGoFirst", {.type = GDT_UInt16, .statistics = true}, 256, "cut.bmp"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCut {
    const char* name;
    Raster raster;
    std::string message;
    int size = 256;
    std::string out = "cut.png";
    bool outIsAFolder = false;  // so that the picture cannot be renamed into place
};

void PrintTo(const BadCut& cut, std::ostream* os) { *os << cut.name; }

class BadCuts : public testing::TestWithParam<BadCut> {};

TEST_P(BadCuts, SayWhatIsWrongAndWriteNothing) {
    const BadCut& cut = GetParam();
    Scratch scratch;
    if (cut.outIsAFolder) fs::create_directories(scratch.out / cut.out / "inside");
    const Status status = cutImagery(makeRaster(cut.raster, scratch).path, kArea, cut.size,
                                     (scratch.out / cut.out).string());
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find(cut.message), std::string::npos)
        << status.error().message;
    EXPECT_EQ(status.error().message.find("ERROR"), std::string::npos) << status.error().message;
    EXPECT_EQ(filesIn(scratch.out), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadCuts,
    testing::Values(
        BadCut{"NoGeoreference",
               {.container = Container::PngAlone},
               "has no georeference: the picture needs a world file or a coordinate system"},
        BadCut{"WorldFileInMetresWithoutPrj",
               {.utm = true, .container = Container::PngWorldFile},
               "has no georeference"},
        BadCut{"AnotherPartOfTheWorld",
               {.farAway = true},
               "covers latitudes -33.506951 to -33.494256 and longitudes 147.728343 to "
               "147.745290 but not the area of latitudes 47.493896 to 47.504883 and longitudes "
               "-122.270508 to -122.255859."},
        BadCut{"NotARaster",
               {.container = Container::Text},
               "not recognized as a supported file format"},
        BadCut{"MissingFile",
               {.container = Container::Missing},
               "raster.png\": no such file or directory."},
        BadCut{"Size100", {}, "not between 256 and 1024", 100},
        BadCut{"Size1025", {}, "not between 256 and 1024", 1025},
        BadCut{"OutputFolderMissing", {}, "Could not write", 256, "no/cut.bmp"},
        BadCut{"OutputNameIsAFolder", {}, "Could not write", 256, "cut.png", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The harbour sample's imagery shows the basin of harbour.geojson as water
// and reaches into the four neighbouring areas.
TEST(HarbourSample, ShowsTheBasinAndReachesTheNeighbours) {
    Scratch scratch;
    const std::string sample = QUILLMAP4_SAMPLES "/harbour.tif";
    for (const auto& [north, east] : {std::pair{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const AreaEdges area{kArea.north + north * kAreaHeight, kArea.south + north * kAreaHeight,
                             kArea.west + east * kAreaWidth, kArea.east + east * kAreaWidth};
        const std::string out = (scratch.out / "area.bmp").string();
        const Status status = cutImagery(sample, area, 256, out);
        ASSERT_TRUE(status.ok()) << north << " " << east << ": " << status.error().message;
        if (north != 0 || east != 0) continue;
        GDALDatasetUniquePtr picture(GDALDataset::Open(out.c_str(), GDAL_OF_RASTER));
        // Inside the basin, then on land south-east of it and the road.
        for (const auto& [x, y, water] : {std::tuple{60, 80, true}, {200, 230, false}}) {
            GByte rgb[3];
            ASSERT_EQ(picture->RasterIO(GF_Read, x, y, 1, 1, rgb, 1, 1, GDT_Byte, 3, nullptr, 3, 3,
                                        1, nullptr),
                      CE_None);
            EXPECT_EQ(rgb[2] > rgb[0] + 40, water) << x << ", " << y;
        }
    }
}

}  // namespace
}  // namespace qm4::geo
