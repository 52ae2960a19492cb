// Point capture: FillXY turns a mouse position into the four coordinate
// texts; a press builds its point lines from those texts as they stand.
#include "capture/capture.h"

#include "model/numbers.h"

namespace qm4 {
namespace {

constexpr double kPictureScale = 256;
constexpr double kVtpUnitsPerArea = 255;
constexpr double kVtpOffset = 4080;
constexpr int16_t kVtpUpper = 12240;
constexpr int16_t kPixelUpper = 255;
constexpr double kLwmRedFrom = 62;  // counts above the LWM writer's short form
constexpr double kVtpRedAbove = 31;

FillXYError fillError(const std::string& description) {
    return {"Error in FillXY",
            "The following error occured while calculating the X,Y positions:\r\n" + description};
}

std::optional<FillXYError> pixel(double position, double clientSize, const char* axis,
                                 const char* dimension, int16_t& out) {
    if (clientSize == 0) {
        return fillError(std::string("Division by zero: the picture view has no ") + dimension +
                         ".");
    }
    double value = position * kPictureScale / clientSize;
    auto rounded = roundToInt16(value);
    if (!rounded) {
        return fillError(std::string("Overflow: the pixel ") + axis + " position " +
                         decimalText(value) + " lies outside -32768 to 32767.");
    }
    out = *rounded;
    return std::nullopt;
}

std::optional<FillXYError> vtp(const std::string& areaText, int16_t px, const char* axis,
                               int16_t& out) {
    double value = leadingNumber(areaText) * kVtpUnitsPerArea + kVtpOffset + px;
    auto rounded = roundToInt16(value);
    if (!rounded) {
        return fillError(std::string("Overflow: the VTP ") + axis + " coordinate " +
                         decimalText(value) + " lies outside -32768 to 32767.");
    }
    out = *rounded;
    return std::nullopt;
}

void fill(ProjectState& s, float x, float y, uint8_t flag, ClientSize client,
          const FillXYErrorHandler& onError) {
    if (auto error = FillXY(s, x, y, flag, client); error && onError) onError(*error);
}

}  // namespace

std::optional<FillXYError> FillXY(ProjectState& s, float x, float y, uint8_t flag,
                                  ClientSize client) {
    int16_t px = 0, py = 0, vx = 0, vy = 0;
    if (auto e = pixel(x, client.width, "X", "width", px)) return e;
    if (auto e = pixel(y, client.height, "Y", "height", py)) return e;
    if (auto e = vtp(s.txtareax, px, "X", vx)) return e;
    if (auto e = vtp(s.txtareay, py, "Y", vy)) return e;

    // The VTP coordinates follow the unclamped pixel into the next area.
    ClampInt(vx, static_cast<int16_t>(kVtpOffset), kVtpUpper);
    ClampInt(vy, static_cast<int16_t>(kVtpOffset), kVtpUpper);
    ClampInt(px, 0, kPixelUpper);
    ClampInt(py, 0, kPixelUpper);

    s.lblx = blankSignedText(px) + ", ";
    s.lbly = blankSignedText(py);
    if (VtpLinePoly(s) == 1) {
        s.lblvtp2x = blankSignedText(vx) + ", " + integerText(flag) + ", ";
        s.lblvtp2y = blankSignedText(vy) + ", 0";
    } else {
        s.lblvtp2x = blankSignedText(vx) + ", ";
        s.lblvtp2y = blankSignedText(vy);
    }
    return std::nullopt;
}

void AddVtpPoint(ProjectState& s) {
    const char* keyword = VtpLinePoly(s) == 1 ? "VTPWidePoint " : "VTPPointXY2 ";
    s.lstVTP.lines.push_back(keyword + s.lblvtp2x + s.lblvtp2y);
}

void Picture1_MouseMove(ProjectState& s, float x, float y, ClientSize client,
                        const FillXYErrorHandler& onError) {
    fill(s, x, y, 0, client, onError);
}

PressResult Picture1_MouseDown(ProjectState& s, float x, float y, ClientSize client,
                               const FillXYErrorHandler& onError) {
    PressResult result;
    fill(s, x, y, 0, client, onError);

    if (!s.chklwmnodata) {
        s.lstLWM.lines.push_back("LWMPoint " + s.lblx + s.lbly);
        double before = leadingNumber(s.txtlwmnumber);
        s.lwmnumberColour = before >= kLwmRedFrom ? CounterColour::Red : CounterColour::Black;
        s.txtlwmnumber = integerText(static_cast<long long>(s.lstLWM.lines.size()));
        result.lwmAppended = 1;
    }

    if (!s.chkvtpnodata) {
        std::size_t before = s.lstVTP.lines.size();
        if (VtpLinePoly(s) == 1) {
            if (leadingNumber(s.txtvtpnumber) > 1) {
                AddVtpPoint(s);
            } else {
                // Opening a line: the first point twice with the wide flag set,
                // each followed by its width, then the point itself.
                fill(s, x, y, 1, client, onError);
                AddVtpPoint(s);
                s.lstVTP.lines.push_back("VTPWidePointWidth 1");
                AddVtpPoint(s);
                s.lstVTP.lines.push_back("VTPWidePointWidth " + s.txtvtplinewidth);
                fill(s, x, y, 0, client, onError);
                AddVtpPoint(s);
            }
            s.txtvtpnumber = integerText(static_cast<long long>(s.lstVTP.lines.size()) - 2);
        } else {
            s.lstVTP.lines.push_back("VTPPointXY2 " + s.lblvtp2x + s.lblvtp2y);
            s.txtvtpnumber = blankSignedText(leadingNumber(s.txtvtpnumber) + 1);
        }
        double now = leadingNumber(s.txtvtpnumber);
        s.vtpnumberColour = now > kVtpRedAbove ? CounterColour::Red : CounterColour::Black;
        result.vtpAppended = s.lstVTP.lines.size() - before;
    }
    return result;
}

}  // namespace qm4
