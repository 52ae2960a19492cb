// Number readings, text forms, the option switches and the cell and area
// calculation, run over the rows of data/model_cases.txt.
#include <charconv>
#include <tuple>

#include "file_test_support.h"
#include "model/area_grid.h"
#include "model/calculate.h"
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
};

QM4_CASE_TABLE(ModelCases, "model_cases.txt", kFunctions);

}  // namespace
}  // namespace qm4
