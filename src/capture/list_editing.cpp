// Hand editing of the point lists. The counters are left alone (except by
// Clear) and are put right by the next capture press.
#include "capture/list_editing.h"

#include <algorithm>

#include "capture/point_lines.h"
#include "model/numbers.h"

namespace qm4 {

const char* const kInsertPrompt =
    "This box allows you to replace a Selected Line or Insert a comment line just before the "
    "Selected line.  Comment lines always begin with a Colon ( ; ) and are not read by BGLC or "
    "FS.  If replacing a line type the entire line you wish and remember to remove the Selected "
    "Line. ";

namespace {
bool hasSelection(const PointList& list) {
    return list.selected >= 0 && static_cast<std::size_t>(list.selected) < list.lines.size();
}
}  // namespace

void xListRemoveSelected(PointList& list) {
    if (!hasSelection(list)) return;
    list.lines.erase(list.lines.begin() + list.selected);
    list.selected = -1;
}

void clearList(PointList& list, std::string& counter) {
    list.lines.clear();
    list.selected = -1;
    counter.clear();
}

void insertBeforeSelected(PointList& list, const std::string& reply) {
    if (reply.empty()) return;
    if (!hasSelection(list)) {
        list.lines.push_back(reply);
        return;
    }
    list.lines.insert(list.lines.begin() + list.selected, reply);
    ++list.selected;
}

int pointLineCount(const PointList& list, bool lwm) {
    return static_cast<int>(
        std::count_if(list.lines.begin(), list.lines.end(), [lwm](const std::string& line) {
            return lwm ? lwmPointOf(line).has_value() : vtpPointOf(line, 0, 0).has_value();
        }));
}

std::optional<std::string> counterMismatch(const ProjectState& s, bool lwm) {
    const double says = leadingNumber(lwm ? s.txtlwmnumber : s.txtvtpnumber);
    const int holds = pointLineCount(lwm ? s.lstLWM : s.lstVTP, lwm);
    if (says == holds) return std::nullopt;
    return std::string(lwm ? "LWM" : "VTP") + " Lines/Points says " + decimalText(says) +
           "; the list holds " + std::to_string(holds) + (holds == 1 ? " point" : " points");
}

void recountPoints(ProjectState& s) {
    // A press turns the LWM counter red beyond 62 points and the VTP counter
    // beyond 31; in Poly mode the VTP counter carries a blank for its sign.
    const int lwm = pointLineCount(s.lstLWM, true), vtp = pointLineCount(s.lstVTP, false);
    s.txtlwmnumber = integerText(lwm);
    s.lwmnumberColour = lwm > 62 ? CounterColour::Red : CounterColour::Black;
    s.txtvtpnumber = VtpLinePoly(s) == 1 ? integerText(vtp) : blankSignedText(vtp);
    s.vtpnumberColour = vtp > 31 ? CounterColour::Red : CounterColour::Black;
}

}  // namespace qm4
