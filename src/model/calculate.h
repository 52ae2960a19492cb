// Cell and area calculation: latitude and longitude as degrees and minutes
// to the LOD 8 cell and the LOD 13 area that contain the position.
#pragma once

#include "model/project_state.h"

namespace qm4 {

// Decimal latitude from txtlatdeg and txtlatmin; the minutes take the sign
// of the degrees.
double Lat(const ProjectState& s);

// Decimal longitude from txtlongdeg and txtlongmin.
double Lng(const ProjectState& s);

// Writes txtcellx, txtcelly, txtareax, txtareay, the four display copies and
// the decimal degrees. Positions beyond the globe land on the grid edge.
void calculate(ProjectState& s);

}  // namespace qm4
