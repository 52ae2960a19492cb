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

namespace qm4::geo {

struct AreaSettings {
    ProjectState form;        // the template's fields, lists empty
    std::string projectName;  // empty: each project is named after its folder
    double tolerance = 0;     // pixels
    bool force = false;       // redo areas written before
    std::optional<CompilerSettings> compile;
    std::string outFolder;
};

// One line of batch.csv.
struct SummaryRow {
    std::string area;
    int piece = 0;  // 0: the area as a whole (skipped, failed before its pieces)
    std::string feature;
    std::size_t points = 0;
    double tolerance = 0;
    std::string files;
    std::string outcome;
    bool failed = false;
};

// "123_120_05_28": cell x and y with three digits, area x and y with two.
std::string areaFolderName(GridArea area);

// The form at the area's centre, as Go to Position writes it and Calculate
// reads it back; fails if Calculate would find another area.
Expected<ProjectState> formAtArea(const ProjectState& form, GridArea area);

// Writes the area's folders (123_120_05_28, then _2, _3 for further
// pieces), each through a temporary folder renamed into place, the first
// folder last: an area whose first folder exists was written whole, and is
// skipped unless settings.force. A failure leaves none of the area's
// folders behind.
std::vector<SummaryRow> writeArea(const AreaSettings& settings, GridArea area,
                                  std::vector<NearArea>& near,
                                  const std::vector<BatchFeature>& features);

}  // namespace qm4::geo
