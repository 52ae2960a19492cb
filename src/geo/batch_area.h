// One area of the batch: each piece of each feature near it becomes a
// folder with the project, its points file and both sources, made by the
// same presses Import Shape makes in the window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geo/area_split.h"
#include "geo/compiler_run.h"
#include "model/project_state.h"
#include "project/batch_summary.h"

namespace qm4::geo {

struct AreaSettings {
    ProjectState form;        // the template's fields, lists empty
    std::string projectName;  // empty: each project is named after its folder
    double tolerance = 0;     // pixels
    bool force = false;       // redo areas written before
    std::optional<CompilerSettings> compile;
    std::string outFolder;
};

// "123_120_05_28": cell x and y with three digits, area x and y with two.
std::string areaFolderName(GridArea area);

// The form at the area's centre, as Go to Position writes it and Calculate
// reads it back; fails if Calculate would find another area.
Expected<ProjectState> formAtArea(const ProjectState& form, GridArea area);

// Writes the area's folders (123_120_05_28, then _2, _3 for further
// pieces): every piece made in a fresh temporary folder, then all of them
// put in place at once, the first folder last, and the area's earlier
// folders removed. An area whose first folder exists was written whole,
// and is skipped unless settings.force. When a piece fails, no folder of
// the redo is kept and the earlier folders stay as they were; an area
// written for the first time whose compiler fails keeps its folders, for
// the log. Slivers are dropped, each with a row that says so.
std::vector<SummaryRow> writeArea(const AreaSettings& settings, GridArea area,
                                  std::vector<NearArea>& near,
                                  const std::vector<BatchFeature>& features);

}  // namespace qm4::geo
