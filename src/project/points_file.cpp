// The companion points file: writing, reading and the save and open of a
// whole project.
#include "project/points_file.h"

#include <optional>

#include "project/line_record.h"
#include "textio/text_file.h"

namespace qm4 {

namespace {
// Lists of 32,767 lines are a few MB; the cap only keeps a wrong file from
// filling memory.
constexpr std::size_t kMaxPointsFileBytes = 256u << 20;
}  // namespace

PointsContent readPointsBody(LineRecordReader& in) {
    PointsContent points;
    points.picture = in.value("Picture");
    points.imagery = in.optionalValue("Imagery");
    points.lwmCounter = in.value("LWMCounter");
    points.lwmColour = in.colour("LWMColour");
    points.vtpCounter = in.value("VTPCounter");
    points.vtpColour = in.colour("VTPColour");
    points.lwmLines = in.lines("LWMLines");
    points.vtpLines = in.lines("VTPLines");
    return points;
}

PointsContent pointsOf(const ProjectState& s, const std::string& picture) {
    return {picture,        s.imagery,         s.txtlwmnumber, s.lwmnumberColour,
            s.txtvtpnumber, s.vtpnumberColour, s.lstLWM.lines, s.lstVTP.lines};
}

void applyPoints(ProjectState& s, const PointsContent& points) {
    s.imagery = points.imagery;
    s.txtlwmnumber = points.lwmCounter;
    s.lwmnumberColour = points.lwmColour;
    s.txtvtpnumber = points.vtpCounter;
    s.vtpnumberColour = points.vtpColour;
    s.lstLWM = PointList{points.lwmLines};
    s.lstVTP = PointList{points.vtpLines};
}

bool sameSavedContent(const ProjectState& a, const ProjectState& b) {
    return a.lstLWM.lines == b.lstLWM.lines && a.lstVTP.lines == b.lstVTP.lines &&
           a.txtlwmnumber == b.txtlwmnumber && a.txtvtpnumber == b.txtvtpnumber &&
           a.lwmnumberColour == b.lwmnumberColour && a.vtpnumberColour == b.vtpnumberColour &&
           a.imagery == b.imagery && projectFileText(a) == projectFileText(b);
}

void appendPointsBody(std::string& out, const PointsContent& points) {
    appendValue(out, "Picture", points.picture);
    // A project without imagery keeps the points file that earlier versions
    // wrote and read.
    if (!points.imagery.empty()) appendValue(out, "Imagery", points.imagery);
    appendValue(out, "LWMCounter", points.lwmCounter);
    appendValue(out, "LWMColour", colourName(points.lwmColour));
    appendValue(out, "VTPCounter", points.vtpCounter);
    appendValue(out, "VTPColour", colourName(points.vtpColour));
    appendLines(out, "LWMLines", points.lwmLines);
    appendLines(out, "VTPLines", points.vtpLines);
}

std::string pointsFileText(const PointsContent& points) {
    std::string out = std::string(kPointsFileFirstLine) + "\r\n";
    appendPointsBody(out, points);
    return out;
}

Expected<PointsContent> parsePointsFile(std::string_view bytes) {
    try {
        LineRecordReader in(bytes, "points file");
        in.expectLine(kPointsFileFirstLine);
        PointsContent points = readPointsBody(in);
        in.expectEnd();
        return points;
    } catch (const RecordFault& fault) {
        return Error{fault.message};
    }
}

std::string companionPath(const std::string& projectPath) {
    return withoutProjectExtension(projectPath) + ".points";
}

Status saveProject(const std::string& path, const ProjectState& s, const std::string& picture) {
    const std::string fields = projectFileText(s);
    if (const Status fits = checkProjectLines(fields); !fits) return fits;
    // Both files are written and flushed before either replaces its old one.
    auto points = PendingFile::write(companionPath(path), pointsFileText(pointsOf(s, picture)));
    if (!points) return points.error();
    auto project = PendingFile::write(path, toWindows1252(fields));
    if (!project) return project.error();
    if (const Status done = points.value().commit(); !done) return done;
    return project.value().commit();
}

Expected<std::string> openProject(const std::string& path, ProjectState& s) {
    const auto bytes = readFileBytes(path, kMaxPointsFileBytes);
    if (!bytes) return bytes.error();
    const auto fields = parseProjectFile(*bytes);
    if (!fields) {
        return Error{"Could not open the project \"" + path + "\". " + fields.error().message};
    }
    std::optional<PointsContent> points;
    const std::string companion = companionPath(path);
    if (isRegularFile(companion)) {
        const auto pointsBytes = readFileBytes(companion, kMaxPointsFileBytes);
        if (!pointsBytes) return pointsBytes.error();
        auto parsed = parsePointsFile(*pointsBytes);
        if (!parsed) {
            return Error{"Could not open the points of the project \"" + companion + "\". " +
                         parsed.error().message};
        }
        points = std::move(*parsed);
    }
    applyProjectFile(s, *fields);
    if (!points) return std::string();
    applyPoints(s, *points);
    return points->picture;
}

}  // namespace qm4
