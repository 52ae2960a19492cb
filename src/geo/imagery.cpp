// Cutting an area from imagery with GDAL's warper: the raster (a paletted one
// expanded to RGBA first) is warped into memory on the capture's grid in
// WGS 84 with an alpha band, flattened onto black as RGB, and written as BMP
// or PNG beside the output's name, then renamed over it.
#include "geo/imagery.h"

#include <gdal_alg.h>
#include <gdal_priv.h>
#include <gdal_utils.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

#include "geo/ogr_support.h"

namespace qm4::geo {
namespace {

using Bytes = std::vector<GByte>;

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

CPLStringList argv(const std::vector<std::string>& words) {
    CPLStringList list;
    for (const std::string& word : words) list.AddString(word.c_str());
    return list;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// A whole band as bytes, read or written.
bool wholeBand(GDALRasterBand* band, GDALRWFlag direction, GByte* bytes, int size) {
    return band->RasterIO(direction, 0, 0, size, size, bytes, size, size, GDT_Byte, 0, 0,
                          nullptr) == CE_None;
}

std::string span(double south, double north, double west, double east) {
    char text[160];
    std::snprintf(text, sizeof text, "latitudes %.6f to %.6f and longitudes %.6f to %.6f", south,
                  north, west, east);
    return text;
}

bool endsWithBmp(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return path.ends_with(".bmp");
}

// The raster's corners (or its control points) in its own coordinates lie
// where longitudes and latitudes can.
bool withinDegrees(GDALDataset& raster) {
    std::vector<std::pair<double, double>> points;
    double t[6];
    if (raster.GetGeoTransform(t) == CE_None) {
        for (const int x : {0, raster.GetRasterXSize()})
            for (const int y : {0, raster.GetRasterYSize()})
                points.emplace_back(t[0] + x * t[1] + y * t[2], t[3] + x * t[4] + y * t[5]);
    }
    for (int i = 0; i < raster.GetGCPCount(); ++i)
        points.emplace_back(raster.GetGCPs()[i].dfGCPX, raster.GetGCPs()[i].dfGCPY);
    return std::all_of(points.begin(), points.end(), [](const auto& p) {
        return std::fabs(p.first) <= 180 && std::fabs(p.second) <= 90;
    });
}

// Where the raster lies, in words, for the message that it misses the area.
// Like the warper, the transformer takes a raster without a coordinate
// system as already in WGS 84.
std::string coverage(GDALDataset& raster) {
    const char* const options[] = {"DST_SRS=EPSG:4326", nullptr};
    void* transformer = GDALCreateGenImgProjTransformer2(GDALDataset::ToHandle(&raster), nullptr,
                                                         const_cast<char**>(options));
    if (!transformer) return "another part of the world";
    double geo[6], extent[4];
    int width = 0, height = 0;
    const CPLErr found =
        GDALSuggestedWarpOutput2(GDALDataset::ToHandle(&raster), GDALGenImgProjTransform,
                                 transformer, geo, &width, &height, extent, 0);
    GDALDestroyGenImgProjTransformer(transformer);
    if (found != CE_None) return "another part of the world";
    return span(extent[1], extent[3], extent[0], extent[2]);
}

// The raster, when it is placed on the globe somewhere WGS 84 can reach.
Expected<GDALDatasetUniquePtr> openPlaced(const std::string& path) {
    CPLErrorReset();
    GDALDatasetUniquePtr raster(
        GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (!raster) return Error{gdalReason(path, CPLGetLastErrorMsg())};
    double transform[6];
    const bool placed = raster->GetGeoTransform(transform) == CE_None || raster->GetGCPCount() > 0;
    const bool declared = raster->GetGCPCount() > 0 ? raster->GetGCPSpatialRef() != nullptr
                                                    : raster->GetSpatialRef() != nullptr;
    if (placed && (declared || withinDegrees(*raster))) return raster;
    return Error{quoted(path) + " has no georeference: " +
                 (placed ? "its coordinates are no longitudes and latitudes and it declares no "
                           "coordinate system, so it needs a .prj file beside its world file or "
                           "a coordinate system"
                         : "the picture needs a world file or a coordinate system") +
                 " to be placed on the globe."};
}

// A colour table's indices cannot be blended, so a paletted raster is
// resampled as the colours it stands for; nothing for any other raster.
GDALDatasetUniquePtr expandedPalette(GDALDataset& raster) {
    if (raster.GetRasterCount() != 1 || !raster.GetRasterBand(1)->GetColorTable()) return nullptr;
    GDALTranslateOptions* options =
        GDALTranslateOptionsNew(argv({"-of", "VRT", "-expand", "rgba"}).List(), nullptr);
    GDALDatasetUniquePtr expanded(GDALDataset::FromHandle(
        GDALTranslate("", GDALDataset::ToHandle(&raster), options, nullptr)));
    GDALTranslateOptionsFree(options);
    return expanded;
}

// The range of a band's values that becomes 0..255 in the picture.
struct ByteScale {
    double low = 0, high = 255;
};

// Each band's range as gdal_translate -scale takes it: a byte band as it is;
// a wider or floating-point one (a 16-bit or a float GeoTIFF) from the
// minimum and maximum of the statistics the file keeps, else as GDAL
// estimates them from an overview or a sample of its blocks, which stays
// cheap however large the raster.
std::vector<ByteScale> byteScales(GDALDataset& raster) {
    std::vector<ByteScale> scales(static_cast<std::size_t>(raster.GetRasterCount()));
    for (int b = 0; b < raster.GetRasterCount(); ++b) {
        GDALRasterBand* band = raster.GetRasterBand(b + 1);
        double range[2] = {0, 0};
        if (band->GetRasterDataType() != GDT_Byte &&
            band->ComputeRasterMinMax(TRUE, range) == CE_None && range[1] > range[0])
            scales[static_cast<std::size_t>(b)] = {range[0], range[1]};
    }
    return scales;
}

bool allBytes(GDALDataset& raster) {
    for (int b = 1; b <= raster.GetRasterCount(); ++b)
        if (raster.GetRasterBand(b)->GetRasterDataType() != GDT_Byte) return false;
    return true;
}

// The raster on the picture's grid in WGS 84, its colour bands then an alpha
// band. The capture's pixel centres run from edge to edge, so the picture
// reaches half a capture pixel beyond them. A raster without a coordinate
// system (one withinDegrees let through) is taken by the warper as already
// in WGS 84. Cubic rather than bilinear: a zoomed view is mostly upsampled,
// where cubic keeps a shoreline crisp that bilinear would smear over two
// capture pixels; when a fine raster is shrunk the warper widens either
// kernel alike. Bands wider than a byte keep their values (as floats, the
// alpha band still 0..255) for the scaling that follows.
GDALDatasetUniquePtr warpedOntoPicture(GDALDataset& source, const AreaEdges& area, int size) {
    const double halfX = (area.east - area.west) / kAreaPixelSteps / 2;
    const double halfY = (area.north - area.south) / kAreaPixelSteps / 2;
    std::vector<std::string> words{"-of",
                                   "MEM",
                                   "-t_srs",
                                   "EPSG:4326",
                                   "-te",
                                   number(area.west - halfX),
                                   number(area.south - halfY),
                                   number(area.east + halfX),
                                   number(area.north + halfY),
                                   "-ts",
                                   std::to_string(size),
                                   std::to_string(size),
                                   "-r",
                                   "cubic",
                                   "-dstalpha",
                                   "-ot",
                                   "Byte"};
    if (!allBytes(source)) {
        words.back() = "Float32";
        words.insert(words.end(), {"-wo", "DST_ALPHA_MAX=255"});
    }
    GDALWarpAppOptions* options = GDALWarpAppOptionsNew(argv(words).List(), nullptr);
    GDALDatasetH sources[] = {GDALDataset::ToHandle(&source)};
    GDALDatasetUniquePtr warped(
        GDALDataset::FromHandle(GDALWarp("", nullptr, 1, sources, options, nullptr)));
    GDALWarpAppOptionsFree(options);
    return warped;
}

// Every band of the picture as bytes, a wider one spread over 0..255 from
// its scale (the alpha band, which has none, as it is); nothing when one
// cannot be read.
std::vector<Bytes> bandsOf(GDALDataset& picture, int size, const std::vector<ByteScale>& scales) {
    const auto count = static_cast<std::size_t>(size) * size;
    std::vector<Bytes> bands(picture.GetRasterCount(), Bytes(count));
    std::vector<float> values(picture.GetRasterBand(1)->GetRasterDataType() == GDT_Byte ? 0
                                                                                        : count);
    for (int b = 0; b < picture.GetRasterCount(); ++b) {
        GDALRasterBand* band = picture.GetRasterBand(b + 1);
        if (values.empty()) {
            if (!wholeBand(band, GF_Read, bands[b].data(), size)) return {};
            continue;
        }
        if (band->RasterIO(GF_Read, 0, 0, size, size, values.data(), size, size, GDT_Float32, 0, 0,
                           nullptr) != CE_None)
            return {};
        const bool alpha = b + 1 == picture.GetRasterCount();
        const ByteScale scale = alpha ? ByteScale{} : scales[static_cast<std::size_t>(b)];
        const double factor = 255 / (scale.high - scale.low);
        for (std::size_t i = 0; i < count; ++i)
            bands[b][i] = static_cast<GByte>(
                std::clamp(std::lround((values[i] - scale.low) * factor), 0L, 255L));
    }
    return bands;
}

// Colour bands and alpha flattened onto black as RGB: colour times alpha,
// a grey band repeated.
std::vector<Bytes> flattened(const std::vector<Bytes>& bands) {
    const Bytes& alpha = bands.back();
    const bool grey = bands.size() - 1 < 3;
    std::vector<Bytes> rgb(3, Bytes(alpha.size()));
    for (std::size_t c = 0; c < 3; ++c) {
        const Bytes& colour = bands[grey ? 0 : c];
        for (std::size_t i = 0; i < alpha.size(); ++i)
            rgb[c][i] = static_cast<GByte>((colour[i] * alpha[i] + 127) / 255);
    }
    return rgb;
}

// The picture encoded in memory, then written in one go beside the target
// and renamed over it once whole, so a failure leaves the earlier picture (or
// none) rather than half of a new one. (GDAL's own BMP writer would seek for
// every row of the file itself.)
Status writePicture(std::vector<Bytes> rgb, int size, const std::string& outPath) {
    const bool bmp = endsWithBmp(outPath);
    GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDriver* format = GetGDALDriverManager()->GetDriverByName(bmp ? "BMP" : "PNG");
    if (!memory || !format) return Error{"This GDAL cannot write BMP or PNG pictures."};
    const Error noMemory{"Not enough memory for a picture of " + std::to_string(size) + " pixels."};
    GDALDatasetUniquePtr picture(memory->Create("", size, size, 3, GDT_Byte, nullptr));
    for (int c = 0; c < 3; ++c) {
        if (!picture || !wholeBand(picture->GetRasterBand(c + 1), GF_Write, rgb[c].data(), size))
            return noMemory;
    }
    // The fastest deflate: the window reads the picture at once, and on a
    // photograph the higher levels take several times as long for a few
    // per cent.
    const char* const pngOptions[] = {"ZLEVEL=1", nullptr};
    const std::string encoded = CPLSPrintf("/vsimem/quillmap4-cut-%p", static_cast<void*>(&rgb));
    GDALDatasetUniquePtr(format->CreateCopy(encoded.c_str(), picture.get(), FALSE,
                                            bmp ? nullptr : const_cast<char**>(pngOptions), nullptr,
                                            nullptr));
    vsi_l_offset length = 0;
    // Taken over from GDAL, which forgets the file.
    const std::unique_ptr<GByte, decltype(&VSIFree)> bytes(
        VSIGetMemFileBuffer(encoded.c_str(), &length, TRUE), &VSIFree);
    if (!bytes) return noMemory;

    const std::string partial = outPath + ".partial";
    VSILFILE* file = VSIFOpenL(partial.c_str(), "wb");
    bool written = file && VSIFWriteL(bytes.get(), 1, length, file) == length;
    written = file && VSIFCloseL(file) == 0 && written;
    if (!written || VSIRename(partial.c_str(), outPath.c_str()) != 0) {
        const std::string reason = std::generic_category().message(errno);
        VSIUnlink(partial.c_str());
        return Error{"Could not write " + quoted(outPath) + ": " + reason};
    }
    return okStatus();
}

}  // namespace

Status cutImagery(const std::string& rasterPath, const AreaEdges& area, int size,
                  const std::string& outPath) {
    if (size < 256 || size > 1024)
        return Error{"The picture size " + std::to_string(size) +
                     " is not between 256 and 1024 pixels."};
    GDALAllRegister();
    const CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
    const auto raster = openPlaced(rasterPath);
    if (!raster) return raster.error();
    const GDALDatasetUniquePtr expanded = expandedPalette(**raster);
    GDALDataset& source = expanded ? *expanded : **raster;
    const GDALDatasetUniquePtr warped = warpedOntoPicture(source, area, size);
    const std::vector<Bytes> bands =
        warped ? bandsOf(*warped, size, byteScales(source)) : std::vector<Bytes>{};
    if (bands.empty()) return Error{gdalReason(rasterPath, CPLGetLastErrorMsg())};
    const Bytes& alpha = bands.back();
    if (std::all_of(alpha.begin(), alpha.end(), [](GByte a) { return a == 0; })) {
        return Error{quoted(rasterPath) + " covers " + coverage(source) + " but not the area of " +
                     span(area.south, area.north, area.west, area.east) + "."};
    }
    return writePicture(flattened(bands), size, outPath);
}

}  // namespace qm4::geo
