// The batch's input: the features of the chosen layers that its areas
// need, read once, each brought to WGS 84 and repaired, and the read shown
// on a terminal while it lasts.
#pragma once

#include <iosfwd>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "geo/area_split.h"

namespace qm4::geo {

struct BatchInput {
    std::string file;
    std::string layer;  // a name or a number from 0; empty: every layer
    std::string where;  // an attribute filter; empty: none
};

// Areas by their place in the whole grid, (x, y) as GridArea has them.
using AreaList = std::set<std::pair<int, int>>;

// The smallest range that holds the listed areas of the range (none: an
// empty range); the range itself for an empty list.
GridRange listedWithin(const AreaList& listed, const GridRange& range);

// Every feature that meets the range, or with a list, only those that
// come near a listed area, so that areas far apart cost what each costs
// alone. Points are passed over; a shape that cannot be placed or repaired
// is passed over with a line on err. On a terminal a line shows the read.
Expected<std::vector<BatchFeature>> readBatchInput(const BatchInput& input, const GridRange& range,
                                                   const AreaList& listed, std::ostream& err);

}  // namespace qm4::geo
