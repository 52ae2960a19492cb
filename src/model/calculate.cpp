// Cell and area calculation. Cell and area numbers are 16-bit; a position so
// far outside the globe that an intermediate leaves that range is held at the
// range's end, which the clamping then turns into the grid edge.
#include "model/calculate.h"

#include <cmath>

#include "model/area_grid.h"
#include "model/numbers.h"

namespace qm4 {
namespace {

// The minutes take the sign of the degrees. Where the degrees are zero, the
// text says which side of the equator or meridian is meant: "-000" with
// "07.50" lies 7.5 minutes west of Greenwich, not on it.
double degreesAndMinutes(const std::string& degreesText, const std::string& minutesText) {
    const double d = leadingNumber(degreesText);
    const double m = leadingNumber(minutesText);
    double sign = d < 0 ? -1 : 1;
    if (d == 0) {
        const std::size_t first = degreesText.find_first_not_of(" \t\n\r\v\f");
        sign = first != std::string::npos && degreesText[first] == '-' ? -1 : 1;
    }
    const double value = (sign * m) / 60 + d;
    return value == 0 ? 0 : value;  // never -0, which would show as "-0"
}

// A whole number held as a 16-bit integer, saturating instead of failing.
int16_t saturated(double whole) {
    if (std::isnan(whole) || whole <= -32768) return -32768;
    if (whole >= 32767) return 32767;
    return static_cast<int16_t>(whole);
}

}  // namespace

double Lat(const ProjectState& s) { return degreesAndMinutes(s.txtlatdeg, s.txtlatmin); }

double Lng(const ProjectState& s) { return degreesAndMinutes(s.txtlongdeg, s.txtlongmin); }

void calculate(ProjectState& s) {
    int16_t cellX = saturated(std::floor((Lng(s) + 180) / kCellWidth));
    ClampInt(cellX, 0, 767);
    s.txtcellx = integerText(cellX);

    int16_t cellY = saturated(std::floor((90 - Lat(s)) / kCellHeight));
    ClampInt(cellY, 0, 511);
    s.txtcelly = integerText(cellY);

    double cx = leadingNumber(s.txtcellx);
    int16_t areaX = saturated(std::floor((Lng(s) + 180) / kAreaWidth) - cx * 32);
    ClampInt(areaX, 0, 31);
    s.txtareax = integerText(areaX);

    double cy = leadingNumber(s.txtcelly);
    int16_t areaY = saturated(std::floor((90 - Lat(s)) / kAreaHeight) - cy * 32);
    ClampInt(areaY, 0, 31);
    s.txtareay = integerText(areaY);

    s.lblcellx = s.txtcellx;
    s.lblcelly = s.txtcelly;
    s.lblareax = s.txtareax;
    s.lblareay = s.txtareay;

    s.lbllatdd = decimalText(Lat(s));
    s.lbllongdd = decimalText(Lng(s));
}

}  // namespace qm4
