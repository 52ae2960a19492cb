// Hand editing of the point lists. The counters are left alone (except by
// Clear) and are put right by the next capture press.
#include "capture/list_editing.h"

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

}  // namespace qm4
