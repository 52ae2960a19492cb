// A batch's areas kept in the order of their places on the globe, so that
// one is found by a binary search.
#include "model/batch_areas.h"

#include <algorithm>
#include <tuple>

namespace qm4 {
namespace {

auto place(const AreaNumbers& a) { return std::tuple(a.cellY, a.areaY, a.cellX, a.areaX); }

bool before(const BatchArea& a, const BatchArea& b) { return place(a.area) < place(b.area); }

}  // namespace

BatchAreas::BatchAreas(std::vector<BatchArea> areas) : areas_(std::move(areas)) {
    // The stable sort keeps entries for one area in their order; the last stays.
    std::stable_sort(areas_.begin(), areas_.end(), before);
    const auto same = [](const BatchArea& a, const BatchArea& b) { return a.area == b.area; };
    std::reverse(areas_.begin(), areas_.end());
    areas_.erase(std::unique(areas_.begin(), areas_.end(), same), areas_.end());
    std::reverse(areas_.begin(), areas_.end());
}

const BatchArea* BatchAreas::find(const AreaNumbers& area) const {
    const auto found = std::lower_bound(
        areas_.begin(), areas_.end(), area,
        [](const BatchArea& entry, const AreaNumbers& a) { return place(entry.area) < place(a); });
    return found != areas_.end() && found->area == area ? &*found : nullptr;
}

}  // namespace qm4
