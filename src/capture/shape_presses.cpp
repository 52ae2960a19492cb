// Picture positions to whole pixels, a shape's parts to the imports that
// trace them, and pixels to capture presses.
#include "capture/shape_presses.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

const char* pieceKindName(PieceKind kind) {
    static const char* const names[] = {"line", "ring", "hole", "run"};
    return names[static_cast<int>(kind)];
}

PartImports partImports(std::span<const PicturePoint> part, PieceKind kind, bool lineMode) {
    PartImports out;
    if (part.empty()) {
        out.dropped = "the simplification leaves nothing of it";
        return out;
    }
    if (kind == PieceKind::Line) {
        const auto pixels = picturePixels(part, false);
        if (pixels.size() < 2)
            out.dropped = "it is shorter than a pixel";
        else
            out.imports.push_back({kind, 0, pixels, pixels});
        return out;
    }
    const auto ring = simpleRing(picturePixels(part, true));
    const long long twice = std::llabs(twiceArea(ring));
    if (ring.size() < 3 || twice < 2) {
        out.dropped =
            ring.size() == 1 ? "a sliver of 1 pixel"
            : ring.size() < 3
                ? "a sliver of " + std::to_string(ring.size()) + " pixels"
                : "a sliver of " + decimalText(static_cast<double>(twice) / 2) + " square pixels";
        return out;
    }
    if (!lineMode) {
        out.imports.push_back({kind, 0, ring, ring});
        return out;
    }
    auto runs = shorelineRuns(ring);
    out.imports.push_back({kind, 0, ring, runs.empty() ? std::vector<PicturePixel>{} : runs[0]});
    for (std::size_t r = 1; r < runs.size(); ++r)
        out.imports.push_back({PieceKind::Run, 0, {}, std::move(runs[r])});
    return out;
}

std::vector<ImportPlace> orderImports(std::vector<PartImports>& parts,
                                      std::span<const std::size_t> holeOf) {
    std::vector<std::size_t> number(parts.size(), 0);  // of each part's own import; 0: none
    std::vector<ImportPlace> places;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const std::size_t owner = k < holeOf.size() ? holeOf[k] : 0;
        const bool orphan = owner != 0 && (owner > k || number[owner - 1] == 0);
        if (orphan && parts[k].dropped.empty()) {
            parts[k].imports.clear();
            parts[k].dropped = "the ring it is a hole of was dropped";
        }
        if (parts[k].imports.empty()) continue;
        places.push_back({k, 0});
        number[k] = places.size();
        parts[k].imports[0].of = owner != 0 ? number[owner - 1] : 0;
    }
    for (std::size_t k = 0; k < parts.size(); ++k) {
        for (std::size_t i = 1; i < parts[k].imports.size(); ++i) {
            parts[k].imports[i].of = number[k];
            places.push_back({k, i});
        }
    }
    return places;
}

PressResult pressImport(ProjectState& s, const ImportPresses& import,
                        const FillXYErrorHandler& onError) {
    // Pressed together, as a line or a Poly ring is, each press gives what
    // the two passes give, and a FillXY failure shows once, not twice.
    if (import.lwm == import.vtp) return pressPixels(s, import.lwm, onError);
    const bool lwmOff = s.chklwmnodata, vtpOff = s.chkvtpnodata;
    PressResult all;
    s.chkvtpnodata = true;
    all.lwmAppended = pressPixels(s, import.lwm, onError).lwmAppended;
    s.chkvtpnodata = vtpOff;
    s.chklwmnodata = true;
    all.vtpAppended = pressPixels(s, import.vtp, onError).vtpAppended;
    s.chklwmnodata = lwmOff;
    return all;
}

}  // namespace qm4
