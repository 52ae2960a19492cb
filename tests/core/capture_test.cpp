// Point capture, hand editing of the point lists, a shape's rings, shorelines
// and imports, and the check on cut-short bitmaps, run over the rows of
// data/capture_cases.txt.
#include <tuple>

#include "capture/area_trace.h"
#include "capture/capture.h"
#include "capture/list_editing.h"
#include "capture/picture_check.h"
#include "capture/point_lines.h"
#include "capture/shape_presses.h"
#include "file_test_support.h"
#include "model/numbers.h"

namespace qm4 {
namespace {

using namespace testing_support;

// A list's length, its counter text and colour, then the lines that the last
// press appended to it.
std::string summary(const PointList& list, const std::string& counter, CounterColour colour,
                    std::size_t appended) {
    const char* const names[] = {"default", "black", "red"};
    std::string text = std::to_string(list.lines.size()) + " lines, \"" + counter + "\" " +
                       names[static_cast<int>(colour)] + ":";
    for (auto at = list.lines.end() - appended; at != list.lines.end(); ++at)
        text += " [" + *at + "]";
    return text;
}

// Runs steps such as "line; area 3 7; press 10 20 2" (see capture_cases.txt)
// and gives the FillXY failures, the coordinate texts and both lists.
Cells capture(const Cells& in) {
    ProjectState s;
    ClientSize view;
    PressResult last;
    Cells failures;
    const auto fail = [&failures](const FillXYError& e) {
        failures.push_back(e.title + ": " + e.message);
    };
    std::istringstream steps(in[0]);
    for (std::string step; std::getline(steps >> std::ws, step, ';');) {
        std::istringstream words(step);
        std::string verb;
        float x = 0, y = 0, times = 1;
        words >> verb;
        const std::string rest = step.substr(std::min(step.size(), verb.size() + 1));
        if (verb == "line" || verb == "poly") s.Option3 = !(s.Option4 = verb == "line");
        if (verb == "area") words >> s.txtareax >> s.txtareay;
        if (verb == "view") words >> view.width >> view.height;
        if (verb == "width") s.txtvtplinewidth = rest;
        if (verb == "counters") s.txtlwmnumber = s.txtvtpnumber = rest;
        if (verb == "nodata") (rest == "lwm" ? s.chklwmnodata : s.chkvtpnodata) = true;
        if (verb == "remove") s.lstLWM.selected = std::stoi(rest);
        if (verb == "remove") xListRemoveSelected(s.lstLWM);
        if (verb == "clear") clearList(s.lstVTP, s.txtvtpnumber);
        if (verb == "move" && words >> x >> y) Picture1_MouseMove(s, x, y, view, fail);
        if (verb != "press") last = {};
        if (verb == "press" && words >> x >> y && !(words >> times)) times = 1;
        for (int i = 0; verb == "press" && i < times; ++i)
            last = Picture1_MouseDown(s, x, y, view, fail);
    }
    return {std::to_string(failures.size()) + " failed" +
                (failures.empty() ? "" : ": " + failures.back()),
            s.lblx + s.lbly + " /" + s.lblvtp2x + s.lblvtp2y,
            summary(s.lstLWM, s.txtlwmnumber, s.lwmnumberColour, last.lwmAppended),
            summary(s.lstVTP, s.txtvtpnumber, s.vtpnumberColour, last.vtpAppended)};
}

// "x y, x y, ..." as picture positions.
Piece positionsOf(const std::string& text) {
    Piece piece;
    std::istringstream in(text);
    for (std::string pair; std::getline(in, pair, ',');) {
        PicturePoint p;
        if (std::istringstream(pair) >> p.x >> p.y) piece.push_back(p);
    }
    return piece;
}

std::vector<PicturePixel> pixelsOf(const std::string& text) {
    std::vector<PicturePixel> pixels;
    for (const PicturePoint& p : positionsOf(text))
        pixels.push_back({static_cast<int>(p.x), static_cast<int>(p.y)});
    return pixels;
}

template <class Point>
std::string pointsText(const std::vector<Point>& points) {
    std::string text;
    for (const Point& p : points)
        text += (text.empty() ? "" : ", ") + std::to_string(p.x) + " " + std::to_string(p.y);
    return text;
}

const Functions kFunctions = {
    {"capture", capture},
    {"edit",  // the lines | the selected one | a reply to insert, or none to remove the line
     [](const Cells& in) {
         PointList list{linesOf(in[0]), std::stoi(in[1])};
         in.size() > 2 ? insertBeforeSelected(list, in[2]) : xListRemoveSelected(list);
         return Cells{joined(list.lines), std::to_string(list.selected)};
     }},
    {"counters",  // line or poly | LWM lines | its counter | VTP lines | its counter => what
                  // each counter gets wrong, then both as Recount Points leaves them
     [](const Cells& in) {
         ProjectState s;
         s.Option3 = !(s.Option4 = in[0] == "line");
         s.lstLWM.lines = linesOf(in[1]);
         s.txtlwmnumber = in[2];
         s.lstVTP.lines = linesOf(in[3]);
         s.txtvtpnumber = in[4];
         Cells out;
         for (bool lwm : {true, false}) out.push_back(counterMismatch(s, lwm).value_or("agree"));
         recountPoints(s);
         const char* const colours[] = {"default", "black", "red"};
         for (const auto& [text, colour] :
              {std::pair{s.txtlwmnumber, s.lwmnumberColour}, {s.txtvtpnumber, s.vtpnumberColour}})
             out.push_back("\"" + text + "\" " + colours[static_cast<int>(colour)]);
         if (counterMismatch(s, true) || counterMismatch(s, false)) out.push_back("still differ");
         return out;
     }},
    {"pixels",  // positions | line or polygon => the pixels pressed
     [](const Cells& in) {
         return Cells{pointsText(picturePixels(positionsOf(in[0]), in[1] == "polygon"))};
     }},
    {"presses",  // line or poly | nodata lwm, vtp or none | pixels [| other VTP pixels]
                 // => both lists [| both Send NO Data boxes afterwards]
     [](const Cells& in) {
         ProjectState s;
         s.Option3 = !(s.Option4 = in[0] == "line");
         s.txtareax = "3", s.txtareay = "7", s.txtvtplinewidth = "12";
         s.chklwmnodata = in[1] == "lwm", s.chkvtpnodata = in[1] == "vtp";
         const ImportPresses import{PieceKind::Ring, 0, pixelsOf(in[2]),
                                    pixelsOf(in.size() > 3 ? in[3] : in[2])};
         int failures = 0;
         const PressResult all = pressImport(s, import, [&](const FillXYError&) { ++failures; });
         Cells out{std::to_string(failures) + " failed",
                   summary(s.lstLWM, s.txtlwmnumber, s.lwmnumberColour, all.lwmAppended),
                   summary(s.lstVTP, s.txtvtpnumber, s.vtpnumberColour, all.vtpAppended)};
         if (in.size() > 3)
             out.push_back(std::to_string(s.chklwmnodata) + std::to_string(s.chkvtpnodata));
         return out;
     }},
    {"ring",  // positions => the ring as pressed | its area in square pixels
     [](const Cells& in) {
         const auto ring = simpleRing(picturePixels(positionsOf(in[0]), true));
         return Cells{pointsText(ring), decimalText(static_cast<double>(twiceArea(ring)) / 2)};
     }},
    {"runs",  // a ring's pixels => its shoreline runs, one a cell, or none
     [](const Cells& in) {
         Cells runs;
         for (const auto& run : shorelineRuns(pixelsOf(in[0]))) runs.push_back(pointsText(run));
         return runs.empty() ? Cells{"none"} : runs;
     }},
    {"imports",  // line or poly | parts "kind [of]: positions; ..." => each import as "number
                 // kind of: LWM pixels / VTP pixels", then the dropped parts' reasons
     [](const Cells& in) {
         std::vector<PartImports> parts;
         std::vector<std::size_t> holeOf;
         std::istringstream split(in[1]);
         for (std::string part; std::getline(split, part, ';');) {
             std::istringstream head(part.substr(0, part.find(':')));
             std::string kind;
             std::size_t of = 0;
             head >> kind >> of;
             const PieceKind kinds[] = {PieceKind::Line, PieceKind::Ring, PieceKind::Hole};
             const auto k = std::find_if(std::begin(kinds), std::end(kinds),
                                         [&](PieceKind x) { return pieceKindName(x) == kind; });
             parts.push_back(
                 partImports(positionsOf(part.substr(part.find(':') + 1)), *k, in[0] == "line"));
             holeOf.push_back(of);
         }
         Cells out;
         for (const ImportPlace& place : orderImports(parts, holeOf)) {
             const ImportPresses& i = parts[place.part].imports[place.index];
             out.push_back(std::to_string(out.size() + 1) + " " + pieceKindName(i.kind) + " " +
                           std::to_string(i.of) + ": " + pointsText(i.lwm) + " / " +
                           pointsText(i.vtp));
         }
         for (const PartImports& part : parts)
             if (!part.dropped.empty()) out.push_back(part.dropped);
         return out;
     }},
    {"fits",  // the LWM and VTP counters => whether a source takes that many points
     [](const Cells& in) {
         ProjectState s;
         std::tie(s.txtlwmnumber, s.txtvtpnumber) = std::tie(in[0], in[1]);
         return Cells{countersFit(s) ? "fits" : "too many"};
     }},
    {"trace",  // a list line => the picture pixel the trace draws it at, in area 3, 7
     [](const Cells& in) {
         const auto lwm = lwmPointOf(in[0]);
         const auto vtp = vtpPointOf(in[0], 3, 7);
         const auto point = lwm ? lwm : vtp;
         return Cells{point ? std::to_string(point->x) + " " + std::to_string(point->y) : "none"};
     }},
    {"areatrace",  // line or poly | cell and area boxes | LWM lines | VTP lines [| a
                   // tolerance to thin the mask by] => the area, the points of each list,
                   // and whether the VTP trace closes
     [](const Cells& in) {
         ProjectState s;
         s.Option3 = !(s.Option4 = in[0] == "line");
         std::istringstream(in[1]) >> s.txtcellx >> s.txtcelly >> s.txtareax >> s.txtareay;
         s.lstLWM.lines = linesOf(in[2]);
         s.lstVTP.lines = linesOf(in[3]);
         const AreaTrace trace = areaTrace(s);
         Cells out{std::to_string(trace.area.cellX) + " " + std::to_string(trace.area.cellY) + " " +
                   std::to_string(trace.area.areaX) + " " + std::to_string(trace.area.areaY)};
         for (const auto* points : {&trace.lwm, &trace.vtp}) out.push_back(pointsText(*points));
         out.push_back(trace.vtpClosed ? "closed" : "open");
         // Thinned for a view that shows that many picture pixels as one.
         if (in.size() > 4) out[1] = pointsText(thinned(trace, std::stoi(in[4])).lwm);
         return out;
     }},
    {"bitmap",  // the file's bytes, then how many of them are kept
     [](const Cells& in) {
         const std::string bytes = in.size() > 1 ? in[0].substr(0, std::stoul(in[1])) : in[0];
         return Cells{bitmapIsComplete(bytes) ? "complete" : "cut short"};
     }},
};

QM4_CASE_TABLE(CaptureCases, "capture_cases.txt", kFunctions);

}  // namespace
}  // namespace qm4
