// The command line of quillmap4-geo: --help, --version, features, serve and
// batch, run on given streams so that tests need no process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "model/area_grid.h"
#include "model/expected.h"

namespace qm4::geo {

// The exit status: 0 done, 1 a failure (said on err), 2 bad usage.
int runGeoTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
               std::ostream& err);

// "CELLX,CELLY,AREAX,AREAY" (whole numbers within the grid) as the area's
// edges, computed as the window computes them from its boxes.
Expected<AreaEdges> areaOfNumbers(const std::string& text);

// "LAT,LON" in any form the window's Go to Position reads: the area that
// Calculate finds there.
Expected<AreaEdges> areaOfPosition(const std::string& text);

}  // namespace qm4::geo
