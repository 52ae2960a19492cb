// The areas of a batch as the region map colours them: each area's outcome
// (its project written, the area dropped or failed, or the project changed
// since the batch wrote it) and the project there, if any.
#pragma once

#include <string>
#include <vector>

#include "model/area_grid.h"

namespace qm4 {

enum class AreaOutcome { Written, Dropped, Failed, Changed };

struct BatchArea {
    AreaNumbers area;
    AreaOutcome outcome = AreaOutcome::Written;
    std::string project;  // the project file the batch wrote there; empty for none
};

// A batch's areas, found by their numbers; of two entries for one area the
// last counts.
class BatchAreas {
  public:
    BatchAreas() = default;
    explicit BatchAreas(std::vector<BatchArea> areas);

    const std::vector<BatchArea>& all() const { return areas_; }
    // The entry for the area; nothing when the batch has none.
    const BatchArea* find(const AreaNumbers& area) const;

  private:
    std::vector<BatchArea> areas_;  // in the order of their places on the globe
};

}  // namespace qm4
