// Hand editing of the point lists: remove the selected line, clear a list,
// insert a line before the selected one.
#pragma once

#include <optional>
#include <string>

#include "model/project_state.h"

namespace qm4 {

// The fixed prompt of the insert input box.
extern const char* const kInsertPrompt;

// Removes the selected line, if any; the counter is left as it was.
void xListRemoveSelected(PointList& list);

// Empties the list and its counter text; the counter's colour stays.
void clearList(PointList& list, std::string& counter);

// Inserts reply before the selected line, which stays selected one place
// further down. An empty reply changes nothing; a list with no selected line
// takes the reply at its end.
void insertBeforeSelected(PointList& list, const std::string& reply);

// The point lines a list holds: "LWMPoint" lines in the LWM list,
// "VTPWidePoint" and "VTPPointXY2" lines in the VTP list. Comments, width
// lines and other lines typed by hand do not count.
int pointLineCount(const PointList& list, bool lwm);

// What a source written now would get wrong in its point count: the counter,
// which counts presses, says another number than the list holds point lines
// ("LWM Lines/Points says 11; the list holds 10 points"). Nothing when they
// agree.
std::optional<std::string> counterMismatch(const ProjectState& s, bool lwm);

// Sets both counters to their lists' point counts, in the forms and colours a
// press gives them.
void recountPoints(ProjectState& s);

}  // namespace qm4
