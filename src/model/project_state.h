// The project: every data field of the main window by its control name, with
// its start value, and the two switches derived from the option buttons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qm4 {

// Text colour of a point counter. It starts as the window's default and is
// set to black or red by the first capture press.
enum class CounterColour { Default, Black, Red };

// An ordered list of text lines with at most one selected line.
struct PointList {
    std::vector<std::string> lines;
    int selected = -1;  // index of the selected line, -1 for none

    friend bool operator==(const PointList&, const PointList&) = default;
};

struct ProjectState {
    // General properties
    std::string txtprojectname;
    std::string txtauthorname;
    std::string txtcomments;

    // Location properties
    std::string txtlatdeg = "-00";
    std::string txtlatmin = "00.00";
    std::string txtlongdeg = "-000";
    std::string txtlongmin = "00.00";
    std::string lbllatdd;
    std::string lbllongdd;
    std::string lblcellx;
    std::string lblcelly;
    std::string lblareax;
    std::string lblareay;

    // Cell and area (written by Calculate, editable by hand)
    std::string txtcellx;
    std::string txtcelly;
    std::string txtareax;
    std::string txtareay;

    // LWM properties: Option1 "  Land", Option2 "Water"
    bool Option1 = false;
    bool Option2 = true;
    std::string txtaltitude;

    // VTP properties: Option3 "Poly", Option4 " Line"
    bool Option3 = false;
    bool Option4 = true;
    std::string cbolandclass;
    std::string cbovtptype;
    std::string txtvtplinewidth;
    std::string cbolayer;

    // Point capture
    PointList lstLWM;
    PointList lstVTP;
    std::string txtlwmnumber;
    std::string txtvtpnumber;
    CounterColour lwmnumberColour = CounterColour::Default;
    CounterColour vtpnumberColour = CounterColour::Default;
    bool chklwmnodata = false;
    bool chkvtpnodata = false;
    std::string lblx;
    std::string lbly;
    std::string lblvtp2x;
    std::string lblvtp2y;

    // The georeferenced raster the area's picture is cut from, kept in the
    // points file (the project file has no line for it); empty for none.
    std::string imagery;

    friend bool operator==(const ProjectState&, const ProjectState&) = default;
};

// 1 for Land, 0 for Water. With neither button selected the later tests win,
// which gives 1.
int16_t LwmMask(const ProjectState& s);

// 1 for Line, 0 for Poly. With neither button selected this gives 0.
int16_t VtpLinePoly(const ProjectState& s);

}  // namespace qm4
