// Number readings, text forms, the option switches and the cell and area
// calculation, run over the rows of data/model_cases.txt.
#include <charconv>

#include "file_test_support.h"
#include "model/calculate.h"
#include "model/numbers.h"

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
};

QM4_CASE_TABLE(ModelCases, "model_cases.txt", kFunctions);

}  // namespace
}  // namespace qm4
