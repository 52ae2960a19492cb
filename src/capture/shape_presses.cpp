// Picture positions to whole pixels, and pixels to capture presses.
#include "capture/shape_presses.h"

#include <algorithm>
#include <cmath>

#include "model/numbers.h"

namespace qm4 {
namespace {

int pixelOf(double position) {
    // Held within the picture before the conversion, so a position far off
    // (or not a number) never overflows an int.
    const double held = std::clamp(std::isnan(position) ? 0.0 : position, -1.0, 256.0);
    return std::clamp(static_cast<int>(std::lround(held)), 0, 255);
}

}  // namespace

std::vector<PicturePixel> picturePixels(std::span<const PicturePoint> piece, bool polygon) {
    std::vector<PicturePixel> pixels;
    for (const PicturePoint& p : piece) {
        const PicturePixel pixel{pixelOf(p.x), pixelOf(p.y)};
        if (pixels.empty() || pixels.back() != pixel) pixels.push_back(pixel);
    }
    if (polygon && pixels.size() > 1 && pixels.back() == pixels.front()) pixels.pop_back();
    return pixels;
}

PressResult pressPixels(ProjectState& s, const std::vector<PicturePixel>& pixels,
                        const FillXYErrorHandler& onError) {
    PressResult all;
    for (const PicturePixel& p : pixels) {
        const PressResult one = Picture1_MouseDown(
            s, static_cast<float>(p.x), static_cast<float>(p.y), ClientSize{256, 256}, onError);
        all.lwmAppended += one.lwmAppended;
        all.vtpAppended += one.vtpAppended;
    }
    return all;
}

bool countersFit(const ProjectState& s) {
    return leadingNumber(s.txtlwmnumber) <= kMostSourcePoints &&
           leadingNumber(s.txtvtpnumber) <= kMostSourcePoints;
}

}  // namespace qm4
