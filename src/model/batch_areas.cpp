// A batch's areas kept in the order of their places on the globe, so that
// one is found by a binary search.
#include "model/batch_areas.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace qm4 {
namespace {

auto place(const AreaNumbers& a) { return std::tuple(a.cellY, a.areaY, a.cellX, a.areaX); }

}  // namespace

BatchAreas::BatchAreas(std::vector<BatchArea> areas) {
    // In the order of their places, of one area's entries the last one first:
    // it counts, the others go.
    std::vector<std::size_t> order(areas.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(place(areas[a].area), b) < std::pair(place(areas[b].area), a);
    });
    for (const std::size_t i : order)
        if (areas_.empty() || !(areas_.back().area == areas[i].area))
            areas_.push_back(std::move(areas[i]));
}

const BatchArea* BatchAreas::find(const AreaNumbers& area) const {
    const auto found = std::lower_bound(
        areas_.begin(), areas_.end(), area,
        [](const BatchArea& entry, const AreaNumbers& a) { return place(entry.area) < place(a); });
    return found != areas_.end() && found->area == area ? &*found : nullptr;
}

}  // namespace qm4
