// The companion points file <name>.points that a saved project keeps beside
// its 26-line project file: the picture's path, both counters with their
// colours and both point lists, line for line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/expected.h"
#include "model/project_state.h"
#include "project/line_record.h"
#include "project/project_file.h"

namespace qm4 {

inline constexpr const char* kPointsFileFirstLine = "Quillmap4 points 1";

struct PointsContent {
    std::string picture;
    std::string imagery;  // written only when there is one
    std::string lwmCounter;
    CounterColour lwmColour = CounterColour::Default;
    std::string vtpCounter;
    CounterColour vtpColour = CounterColour::Default;
    std::vector<std::string> lwmLines;
    std::vector<std::string> vtpLines;

    friend bool operator==(const PointsContent&, const PointsContent&) = default;
};

PointsContent pointsOf(const ProjectState& s, const std::string& picture);

// Whether two states save to the same project and points files.
bool sameSavedContent(const ProjectState& a, const ProjectState& b);

// Both lists (nothing selected), counters and colours.
void applyPoints(ProjectState& s, const PointsContent& points);

// The file's bytes: Windows-1252 with CR LF, list lines escaped so that any
// character comes back.
std::string pointsFileText(const PointsContent& points);
// The lines after the first, which the recovery file shares.
void appendPointsBody(std::string& out, const PointsContent& points);
PointsContent readPointsBody(LineRecordReader& in);

// Fails, naming the line, on anything but a whole points file.
Expected<PointsContent> parsePointsFile(std::string_view bytes);

// <name>.points beside <name>.dat.
std::string companionPath(const std::string& projectPath);

// Writes both files, then puts the companion in place first and the project
// file last. A failure before that leaves both earlier files as they were.
Status saveProject(const std::string& path, const ProjectState& s, const std::string& picture);

// Reads and checks the project file and its companion, when there is one,
// and only when both are whole applies them to s: the fields, and the lists,
// counters and colours (without a companion the lists and counters empty, as
// an open always did). Gives the path of the picture the companion names.
Expected<std::string> openProject(const std::string& path, ProjectState& s);

}  // namespace qm4
