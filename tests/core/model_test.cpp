// Number readings, text forms, the option switches and the cell and area
// calculation, run over the rows of data/model_cases.txt.
#include <charconv>
#include <cmath>
#include <tuple>

#include "file_test_support.h"
#include "model/area_grid.h"
#include "model/batch_areas.h"
#include "model/calculate.h"
#include "model/map_geometry.h"
#include "model/numbers.h"
#include "model/position_text.h"

namespace qm4 {
namespace {

using namespace testing_support;

// The shortest text that reads back as exactly this double ("-0", "inf"), or
// "none" for no value.
std::string exact(std::optional<double> v) {
    char text[32];
    return v ? std::string(text, std::to_chars(text, text + sizeof text, *v).ptr) : "none";
}

int16_t int16(const std::string& text) { return static_cast<int16_t>(std::stoi(text)); }

// Numbers as the map rows write them: ten significant digits.
std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

std::vector<double> numbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> found;
    for (double v = 0; in >> v;) found.push_back(v);
    return found;
}

// "middle x, y, scale, width, height"
MapView viewOf(const std::string& text) {
    const auto v = numbers(text);
    return {{v.at(0), v.at(1)}, v.at(2), v.at(3), v.at(4)};
}

// The same place, a whole number of turns around the globe apart or not.
bool samePlace(const MapPoint& a, const MapPoint& b) {
    return std::fabs(std::remainder(a.x - b.x, kAreaColumns)) < 1e-9 && std::fabs(a.y - b.y) < 1e-9;
}

std::string edgesText(const AreaEdges& e) {
    return "N" + num(e.north) + " S" + num(e.south) + " W" + num(e.west) + " E" + num(e.east);
}

using PS = ProjectState;
constexpr bool PS::*kOptions[] = {&PS::Option1, &PS::Option2, &PS::Option3, &PS::Option4};

const Functions kFunctions = {
    {"leading", [](const Cells& in) { return Cells{exact(leadingNumber(in[0]))}; }},
    {"strict", [](const Cells& in) { return Cells{exact(strictNumber(in[0]))}; }},
    {"texts",
     [](const Cells& in) {
         return Cells{decimalText(std::stod(in[0])), blankSignedText(std::stod(in[0]))};
     }},
    {"round",
     [](const Cells& in) {
         return Cells{exact(roundToInt16(std::stod(in[0]))), exact(roundToUint8(std::stod(in[0])))};
     }},
    {"clamp",
     [](const Cells& in) {
         int16_t value = int16(in[0]);
         ClampInt(value, int16(in[1]), int16(in[2]));
         return Cells{std::to_string(value)};
     }},
    {"switches",  // Option1 to Option4, each 0 or 1
     [](const Cells& in) {
         ProjectState s;
         for (int i = 0; i < 4; ++i) s.*kOptions[i] = in[i] == "1";
         return Cells{std::to_string(LwmMask(s)), std::to_string(VtpLinePoly(s))};
     }},
    {"calculate",  // latitude and longitude degrees and minutes
     [](const Cells& in) {
         ProjectState s;
         s.txtlatdeg = in[0];
         s.txtlatmin = in[1];
         s.txtlongdeg = in[2];
         s.txtlongmin = in[3];
         calculate(s);
         return Cells{s.txtcellx, s.txtcelly, s.txtareax, s.txtareay, s.lblcellx,
                      s.lblcelly, s.lblareax, s.lblareay, s.lbllatdd, s.lbllongdd};
     }},
    {"position",  // a pasted position => the four boxes, and Calculate's decimal degrees
     [](const Cells& in) {
         const auto place = parsePosition(in[0]);
         if (!place) return Cells{place.error().message};
         ProjectState s;
         writePosition(s, *place);
         calculate(s);
         return Cells{s.txtlatdeg,  s.txtlatmin, s.txtlongdeg,
                      s.txtlongmin, s.lbllatdd,  s.lbllongdd};
     }},
    {"corners",  // cell and area => the places of pixels 0, 0 and 255, 255, which are
                 // the area's corners, and the pixel of its north-west corner read back
     [](const Cells& in) {
         ProjectState s;
         s.txtcellx = in[0];
         s.txtcelly = in[1];
         s.txtareax = in[2];
         s.txtareay = in[3];
         const AreaEdges area = areaEdges(s);
         const LatLon first = pixelToLatLon(area, 0, 0), last = pixelToLatLon(area, 255, 255);
         double x = 0, y = 0;
         latLonToPixel(area, {area.north, area.west}, x, y);
         return Cells{
             degreesMinutesText(first.lat, true) + " " + degreesMinutesText(first.lon, false),
             degreesMinutesText(last.lat, true) + " " + degreesMinutesText(last.lon, false),
             first.lat == area.north && first.lon == area.west && last.lat == area.south &&
                     last.lon == area.east && x == 0 && y == 0
                 ? "the area's corners"
                 : "elsewhere"};
     }},
    {"neighbour",  // the cell and area boxes, then a step east and south => the area
                   // there, and whether its centre, written as Go to Position writes it,
                   // calculates back to it
     [](const Cells& in) {
         ProjectState s;
         std::tie(s.txtcellx, s.txtcelly, s.txtareax, s.txtareay) =
             std::tie(in[0], in[1], in[2], in[3]);
         const auto next = neighbourArea(areaNumbers(s), std::stoi(in[4]), std::stoi(in[5]));
         if (!next) return Cells{"none"};
         writePosition(s, areaCentre(*next));
         calculate(s);
         return Cells{std::to_string(next->cellX) + " " + std::to_string(next->cellY) + " " +
                          std::to_string(next->areaX) + " " + std::to_string(next->areaY),
                      areaNumbers(s) == *next ? "calculates back" : "calculates elsewhere"};
     }},
    {"mapplace",  // view | widget position => what the map names there, and whether the place
                  // a turn around the globe further, and the place of its latitude and
                  // longitude, come back to that position
     [](const Cells& in) {
         const MapView view = viewOf(in[0]);
         const auto at = numbers(in[1]);
         const MapPoint place = mapPointAt(view, at[0], at[1]);
         const WidgetPoint back = widgetPointOf(view, {place.x + kAreaColumns, place.y});
         const bool same = std::fabs(back.x - at[0]) < 1e-6 && std::fabs(back.y - at[1]) < 1e-6;
         const bool readBack = samePlace(mapPointOf(latLonOf(place)), place);
         return Cells{placeText(place), same && readBack ? "comes back" : "does not"};
     }},
    {"mapzoom",  // view | widget position | factor => the scale after, and whether the place
                 // under the position stayed there
     [](const Cells& in) {
         const MapView view = viewOf(in[0]);
         const auto at = numbers(in[1]);
         const MapView zoomed = zoomedAbout(view, at[0], at[1], std::stod(in[2]));
         const bool stays =
             samePlace(mapPointAt(view, at[0], at[1]), mapPointAt(zoomed, at[0], at[1]));
         return Cells{num(zoomed.scale), stays ? "stays" : "moves"};
     }},
    {"mappan",  // view | widget pixels the mouse moved => the middle after, and what lies there
     [](const Cells& in) {
         const auto by = numbers(in[1]);
         const MapView moved = panned(viewOf(in[0]), by[0], by[1]);
         return Cells{num(moved.centre.x) + " " + num(moved.centre.y), placeText(moved.centre)};
     }},
    {"maptiles",  // view => the tiles' span, each tile's column and row from the one nearest
                  // the middle, the first one's edges and its picture's square on the map
     [](const Cells& in) {
         const auto tiles = tilesFor(viewOf(in[0]));
         std::string list;
         for (const MapTile& t : tiles)
             list += (list.empty() ? "" : ", ") + std::to_string(t.column) + " " +
                     std::to_string(t.row);
         const MapSquare square = tilePicture(tiles.at(0));
         return Cells{std::to_string(tiles.at(0).span), list, edgesText(tileEdges(tiles.at(0))),
                      num(square.corner.x) + " " + num(square.corner.y) + " " + num(square.side)};
     }},
    {"mapbox",  // view | a pan => the box of its outlines and their pixel in degrees, then
                // whether the box holds the view panned
     [](const Cells& in) {
         const MapView view = viewOf(in[0]);
         const auto by = numbers(in[1]);
         const AreaEdges box = outlineBox(view);
         return Cells{edgesText(box), num(pixelDegrees(view)),
                      boxHolds(box, panned(view, by[0], by[1])) ? "holds" : "does not hold"};
     }},
    {"selection",  // two places dragged between => how many areas | the first eight
     [](const Cells& in) {
         const auto n = numbers(in[0]);
         const auto all = areasIn(areasBetween({n[0], n[1]}, {n[2], n[3]}));
         std::string areas;
         for (std::size_t i = 0; i < std::min<std::size_t>(all.size(), 8); ++i)
             areas += std::to_string(all[i].cellX) + "," + std::to_string(all[i].cellY) + "," +
                      std::to_string(all[i].areaX) + "," + std::to_string(all[i].areaY) + " ";
         return Cells{std::to_string(all.size()), areas};
     }},
    {"batch",  // entries "cellx,celly,areax,areay outcome [project]" separated by ";" | an
               // area's four numbers => its outcome and project, then the number of entries
     [](const Cells& in) {
         const char* const outcomes[] = {"written", "dropped", "failed", "changed"};
         std::vector<BatchArea> entries;
         std::istringstream list(in[0]);
         for (std::string entry; std::getline(list, entry, ';');) {
             std::replace(entry.begin(), entry.end(), ',', ' ');
             std::istringstream words(entry);
             BatchArea a;
             std::string outcome;
             words >> a.area.cellX >> a.area.cellY >> a.area.areaX >> a.area.areaY >> outcome >>
                 a.project;
             a.outcome = AreaOutcome(std::find(std::begin(outcomes), std::end(outcomes), outcome) -
                                     std::begin(outcomes));
             entries.push_back(a);
         }
         const BatchAreas batch(entries);
         const auto n = numbers(in[1]);
         const BatchArea* found = batch.find({int(n[0]), int(n[1]), int(n[2]), int(n[3])});
         return Cells{!found ? "none"
                      : found->project.empty()
                          ? outcomes[int(found->outcome)]
                          : outcomes[int(found->outcome)] + (" " + found->project),
                      std::to_string(batch.all().size())};
     }},
};

QM4_CASE_TABLE(ModelCases, "model_cases.txt", kFunctions);

}  // namespace
}  // namespace qm4
