// A batch's output read back by the window: which batch a project belongs
// to (its folder's parent holds batch.csv), and each area of the batch by
// outcome, with the project there and whether it was changed since the
// batch wrote it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "model/batch_areas.h"
#include "model/project_state.h"

namespace qm4 {

// The batch's output folder a project lies in: its folder's parent, when
// that holds batch.csv; empty otherwise.
std::string batchFolderOf(const std::string& projectPath);

struct BatchOutput {
    BatchAreas areas;
    std::size_t unreadRows = 0;  // rows of batch.csv that name no area or outcome
    std::size_t missing = 0;     // written pieces whose files are gone
    std::string error;           // why batch.csv could not be read at all
};

// Reads folder/batch.csv and the projects it names. An area is failed when
// a row of it failed, changed when a piece it wrote was saved since or is
// gone, written when it wrote a piece, dropped otherwise; its project is
// its first piece's, where that is still there. A summary cut off inside a
// quote is read line by line and the lines that do not read are counted.
// eachProject sees every written piece's project as it reads now.
BatchOutput readBatchOutput(const std::string& folder,
                            const std::function<void(const ProjectState&)>& eachProject = {});

}  // namespace qm4
