// Hand editing of the point lists: remove the selected line, clear a list,
// insert a line before the selected one.
#pragma once

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

}  // namespace qm4
