// A traced shape as the presses an author would make: positions on the
// area's picture turned into whole pixels, and those pixels pressed one by
// one through the ordinary capture. The window's Import Shape and the
// batch share it, so both make the same point lists.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "capture/capture.h"
#include "model/project_state.h"

namespace qm4 {

// A position on the area's picture, 0..255 on each axis, not yet rounded.
struct PicturePoint {
    double x = 0;
    double y = 0;
};
using Piece = std::vector<PicturePoint>;

struct PicturePixel {
    int x = 0;
    int y = 0;
    friend bool operator==(const PicturePixel&, const PicturePixel&) = default;
};

// The most points a source takes: its point counts go up to 255.
inline constexpr std::size_t kMostSourcePoints = 255;

// Each position rounded to the nearest pixel and held within 0..255; a pixel
// equal to the one before is dropped, and for a polygon a last pixel equal
// to the first, which the ring's closing press would repeat.
std::vector<PicturePixel> picturePixels(std::span<const PicturePoint> piece, bool polygon);

// Whether both counters say at most the points a source takes; a line's VTP
// counter runs two ahead of its points.
bool countersFit(const ProjectState& s);

// Presses each pixel on a 256 x 256 view, in the state's Line or Poly mode
// and with its Send NO Data boxes, exactly as mouse presses there would;
// what the presses appended, all together.
PressResult pressPixels(ProjectState& s, const std::vector<PicturePixel>& pixels,
                        const FillXYErrorHandler& onError);

}  // namespace qm4
