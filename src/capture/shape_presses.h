// A traced shape as the presses an author would make: positions on the
// area's picture turned into whole pixels, a polygon's rings made simple,
// the pieces that each import presses into which list, and those pixels
// pressed one by one through the ordinary capture. The window's Import
// Shape and the batch share it, so both make the same point lists.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "capture/capture.h"
#include "capture/pixel_rings.h"
#include "model/project_state.h"

namespace qm4 {

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

// What a piece traces: a line; a polygon's ring or one of its holes; or a
// further shoreline run of a ring, which (Line mode) is a VTP line alone.
enum class PieceKind { Line, Ring, Hole, Run };

// "line", "ring", "hole" or "run".
const char* pieceKindName(PieceKind kind);

// One import: the pixels pressed into the LWM list (the VTP list sending
// nothing) and those pressed into the VTP list (the LWM list sending
// nothing).
struct ImportPresses {
    PieceKind kind = PieceKind::Line;
    // A hole or a further run: the number, from 1, of the import of its ring.
    std::size_t of = 0;
    std::vector<PicturePixel> lwm;
    std::vector<PicturePixel> vtp;
};

// A part of a shape (a line's piece, a polygon's ring or hole) as the
// imports that trace it. A line: its pixels into both lists. A ring or
// hole, made simple: into the LWM list, and into the VTP list the same ring
// as a polygon in Poly mode, or in Line mode its longest shoreline run as a
// line, each further run an import of its own. Nothing, with the reason in
// dropped, for a line under two pixels or a ring left with fewer than three
// pixels or under one square pixel.
struct PartImports {
    std::vector<ImportPresses> imports;
    std::string dropped;
};
PartImports partImports(std::span<const PicturePoint> part, PieceKind kind, bool lineMode);

// An import by its part and its place among the part's imports.
struct ImportPlace {
    std::size_t part = 0;
    std::size_t index = 0;
};

// The imports of a shape's parts in the order the Piece box lists them and
// the batch numbers its folders: each part's own import in the parts' order,
// then the further shoreline runs; their of set to that numbering.
// holeOf[k] is 0, or the number (from 1) of the earlier part whose hole part
// k is; a hole whose ring was dropped is dropped with it.
std::vector<ImportPlace> orderImports(std::vector<PartImports>& parts,
                                      std::span<const std::size_t> holeOf);

// Presses the import's LWM pixels, then its VTP pixels, each list's Send NO
// Data box ticked while the other list's pixels go in; the boxes are left as
// they were. The same lists as presses on those pixels would give.
PressResult pressImport(ProjectState& s, const ImportPresses& import,
                        const FillXYErrorHandler& onError);

}  // namespace qm4
