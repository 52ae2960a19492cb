// The recovery file: the project and points lines of a saved project, and
// what those leave out (check boxes, coordinate texts, caption), by name.
#include "project/recovery_file.h"

#include <array>

#include "project/line_record.h"
#include "project/points_file.h"

namespace qm4 {

namespace {

using PS = ProjectState;

struct NamedText {
    const char* name;
    std::string PS::*field;
};

struct NamedSwitch {
    const char* name;
    bool PS::*field;
};

// The counters travel with the lists, in the points part.
const std::array<NamedText, 26> kTexts = {{
    {"txtprojectname", &PS::txtprojectname},
    {"txtauthorname", &PS::txtauthorname},
    {"txtcomments", &PS::txtcomments},
    {"txtlatdeg", &PS::txtlatdeg},
    {"txtlatmin", &PS::txtlatmin},
    {"txtlongdeg", &PS::txtlongdeg},
    {"txtlongmin", &PS::txtlongmin},
    {"lbllatdd", &PS::lbllatdd},
    {"lbllongdd", &PS::lbllongdd},
    {"lblcellx", &PS::lblcellx},
    {"lblcelly", &PS::lblcelly},
    {"lblareax", &PS::lblareax},
    {"lblareay", &PS::lblareay},
    {"txtcellx", &PS::txtcellx},
    {"txtcelly", &PS::txtcelly},
    {"txtareax", &PS::txtareax},
    {"txtareay", &PS::txtareay},
    {"txtaltitude", &PS::txtaltitude},
    {"cbolandclass", &PS::cbolandclass},
    {"cbovtptype", &PS::cbovtptype},
    {"txtvtplinewidth", &PS::txtvtplinewidth},
    {"cbolayer", &PS::cbolayer},
    {"lblx", &PS::lblx},
    {"lbly", &PS::lbly},
    {"lblvtp2x", &PS::lblvtp2x},
    {"lblvtp2y", &PS::lblvtp2y},
}};

const std::array<NamedSwitch, 6> kSwitches = {{
    {"Option1", &PS::Option1},
    {"Option2", &PS::Option2},
    {"Option3", &PS::Option3},
    {"Option4", &PS::Option4},
    {"chklwmnodata", &PS::chklwmnodata},
    {"chkvtpnodata", &PS::chkvtpnodata},
}};

}  // namespace

std::string recoveryFileText(const ProjectState& s, const std::string& picture,
                             const std::string& caption) {
    std::string out = std::string(kRecoveryFileFirstLine) + "\r\n";
    appendValue(out, "Caption", caption);
    for (const auto& [name, field] : kTexts) appendValue(out, name, s.*field);
    for (const auto& [name, field] : kSwitches) appendValue(out, name, s.*field ? "True" : "False");
    appendPointsBody(out, pointsOf(s, picture));
    return out;
}

Expected<RecoveredSession> parseRecoveryFile(std::string_view bytes) {
    try {
        LineRecordReader in(bytes, "recovery file");
        in.expectLine(kRecoveryFileFirstLine);
        RecoveredSession session;
        session.caption = in.value("Caption");
        for (const auto& [name, field] : kTexts) session.state.*field = in.value(name);
        for (const auto& [name, field] : kSwitches) session.state.*field = in.truth(name);
        const PointsContent points = readPointsBody(in);
        in.expectEnd();
        applyPoints(session.state, points);
        session.picture = points.picture;
        return session;
    } catch (const RecordFault& fault) {
        return Error{fault.message};
    }
}

}  // namespace qm4
