// Positions as authors copy them from map sites, GPS units and the
// simulator, read into the four degree and minute boxes: decimal degrees,
// degrees-minutes-seconds or degrees and decimal minutes, latitude first,
// with hemisphere letters or signs.
#pragma once

#include <string>
#include <string_view>

#include "model/area_grid.h"
#include "model/expected.h"
#include "model/project_state.h"

namespace qm4 {

// The position, or what was not understood.
Expected<LatLon> parsePosition(std::string_view text);

struct BoxTexts {
    std::string degrees;
    std::string minutes;
};

// The degree and minute texts that Calculate reads back as value: signed
// whole degrees and minutes with four decimals; within one degree of 0,
// where the minutes would take the sign of a zero, decimal degrees (up to
// eight decimals) and "00.00".
BoxTexts boxTexts(double value);

// Writes txtlatdeg, txtlatmin, txtlongdeg and txtlongmin.
void writePosition(ProjectState& s, const LatLon& place);

}  // namespace qm4
