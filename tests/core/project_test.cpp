// The project file and its companion points file: exact bytes, open and
// save, line ends, the option pairing, refused files, file names, escaped
// list lines, the recovery file, the batch's summary and output, run over the rows of
// data/project_cases.txt.
#include <algorithm>

#include "file_test_support.h"

#include "project/batch_output.h"
#include "project/batch_summary.h"
#include "project/points_file.h"
#include "project/project_file.h"
#include "project/recovery_file.h"
#include "textio/text_file.h"

namespace qm4 {
namespace {

using namespace testing_support;

const Functions kFunctions = {
    {"save",  // name | author | comments => status | the file, written over "earlier"
     [](const Cells& in) {
         ScratchFolder scratch;
         writeBytes("p.dat", "earlier");
         ProjectState s;
         s.txtprojectname = in[0];
         s.txtauthorname = in[1];
         s.txtcomments = in[2];
         return Cells{message(WriteProjectFile("p.dat", s)), readBytes("p.dat")};
     }},
    {"open",  // the project before | what stands at p.dat: nothing, a folder or these bytes
              // [| p.points] => status | the project saved again | counters, lists, no-data box
     [](const Cells& in) {
         ScratchFolder scratch;
         if (in[1] == "folder") fs::create_directory("p.dat");
         if (in[1] != "folder" && in[1] != "nothing") writeBytes("p.dat", in[1]);
         if (in.size() > 2) writeBytes("p.points", in[2]);
         ProjectState s = stateOf(in[0]);
         s.chklwmnodata = true;
         const auto picture = openProject("p.dat", s);
         const std::string opened = !picture           ? message(picture)
                                    : picture->empty() ? "ok"
                                                       : "ok " + *picture;
         const std::string saved = message(WriteProjectFile("q.dat", s));
         return Cells{opened, saved == "ok" ? readBytes("q.dat") : saved,
                      "counters \"" + s.txtlwmnumber + "\" \"" + s.txtvtpnumber + "\", " +
                          std::to_string(s.lstLWM.lines.size() + s.lstVTP.lines.size()) +
                          " list lines, no data " + (s.chklwmnodata ? "on" : "off")};
     }},
    {"open imagery",  // p.dat [| p.points] => the imagery after opening them over a
                      // project that had some
     [](const Cells& in) {
         ScratchFolder scratch;
         writeBytes("p.dat", in[0]);
         if (in.size() > 1) writeBytes("p.points", in[1]);
         ProjectState s;
         s.imagery = "/p/earlier.tif";
         openProject("p.dat", s);
         return Cells{s.imagery.empty() ? "none" : s.imagery};
     }},
    {"line",  // file bytes | line number => the value of that line
     [](const Cells& in) {
         const auto content = parseProjectFile(in[0]);
         return Cells{content ? content->lines.at(std::stoi(in[1]) - 1) : message(content)};
     }},
    {"options",  // lines 19, 20, 24 and 25 => Option1 to Option4 after opening
     [](const Cells& in) {
         // Every other line empty; a CR alone ends a line.
         const std::string file = std::string(18, '\r') + in[0] + '\r' + in[1] + "\r\r\r\r" +
                                  in[2] + '\r' + in[3] + "\r\r";
         ProjectState s;
         s.Option1 = s.Option2 = s.Option3 = s.Option4 = true;
         applyProjectFile(s, *parseProjectFile(file));
         return Cells{std::to_string(s.Option1) + std::to_string(s.Option2) +
                      std::to_string(s.Option3) + std::to_string(s.Option4)};
     }},
    {"path",  // a project name => Save writes the file it proposes in "." | the folder
     [](const Cells& in) {
         ScratchFolder scratch;
         ProjectState s;
         s.txtprojectname = in[0];
         return Cells{message(WriteProjectFile(ProjectFilePath(".", s), s)), folderNames()};
     }},
    {"accepted",  // the path accepted in the Save dialog => project file | companion
     [](const Cells& in) {
         const std::string path = withProjectExtension(in[0]);
         return Cells{path, companionPath(path)};
     }},
    {"save both",  // project state | picture | p.dat read-only? => status | the folder
                   // afterwards; then the project opened into a fresh window is the same
     [](const Cells& in) {
         ScratchFolder scratch;
         const ProjectState s = stateOf(in[0]);
         writeBytes("p.dat", "earlier");
         if (in[2] == "points read-only") writeBytes("p.points", "earlier");
         if (in[2] != "writable")
             fs::permissions(in[2] == "read-only" ? "p.dat" : "p.points", fs::perms::owner_read);
         const std::string saved = message(saveProject("p.dat", s, in[1]));
         const std::string folder = folderNames();
         ProjectState opened;
         const auto picture = openProject("p.dat", opened);
         const bool same = picture && *picture == in[1] && sameSavedContent(opened, s);
         return Cells{saved, folder, readBytes("p.points"), same ? "same" : "differs"};
     }},
    {"escape",  // a list line => its escaped form, and whether it comes back
     [](const Cells& in) {
         const std::string escaped = toEscapedWindows1252(in[0]);
         const auto back = fromEscapedWindows1252(escaped);
         return Cells{escaped, back ? (*back == in[0] ? "back" : *back) : "refused"};
     }},
    {"recovery",  // project state | caption => the recovery file | read back
     [](const Cells& in) {
         ProjectState s = stateOf(in[0]);
         s.lwmnumberColour = CounterColour::Red;
         s.chkvtpnodata = true;
         s.lblx = " 10, ";
         s.imagery = "/p/ortho 1.tif";
         const std::string text = recoveryFileText(s, "/p/area.bmp", in[1]);
         const auto back = parseRecoveryFile(text);
         const bool same =
             back && back->state == s && back->picture == "/p/area.bmp" && back->caption == in[1];
         return Cells{text, back ? (same ? "same" : "differs") : message(back)};
     }},
    {"points",  // points file bytes => the imagery it names | the bytes written back
     [](const Cells& in) {
         const auto points = parsePointsFile(in[0]);
         if (!points) return Cells{message(points)};
         return Cells{points->imagery, pointsFileText(*points) == in[0] ? "same" : "differs"};
     }},
    {"damaged recovery",  // recovery file bytes => why it is refused
     [](const Cells& in) { return Cells{message(parseRecoveryFile(in[0]))}; }},
    {"summary",  // a batch summary's text => its areas | their rows written out again
     [](const Cells& in) {
         const auto areas = summaryByArea(in[0]);
         if (!areas) return Cells{message(areas)};
         std::string names;
         std::vector<SummaryRow> rows;
         for (const auto& [area, its] : *areas) {
             names += (names.empty() ? "" : " ") + area;
             rows.insert(rows.end(), its.begin(), its.end());
         }
         return Cells{names, summaryText(rows)};
     }},
    {"batch output",  // batch.csv or nothing, D its digest | the files under out/ (a "*"
                      // after a name: edited since, "!": no project) => the areas | the counts
     [](const Cells& in) {
         ScratchFolder scratch;
         const std::string project = dataBytes("project_demo.dat"), points = "Quillmap4 points 1";
         std::string summary = in[0];
         for (auto at = summary.find(",D\n"); at != std::string::npos; at = summary.find(",D\n"))
             summary.replace(at + 1, 1, savedDigest(project, points));
         fs::create_directory("out");
         if (summary != "nothing") writeBytes("out/batch.csv", summary);
         std::istringstream names(in[1]);
         for (std::string name; names >> name;) {
             const char mark = name.back();  // "*": edited, "!": no project at all
             if (mark == '*' || mark == '!') name.pop_back();
             fs::create_directories((fs::path("out") / name).parent_path());
             const std::string bytes = name.ends_with(".dat") ? project : points;
             writeBytes("out/" + name, mark == '!' ? "x" : bytes + (mark == '*' ? "\r\n" : ""));
         }
         int traces = 0;
         const BatchOutput read = readBatchOutput("out", [&](const ProjectState&) { ++traces; });
         std::string areas;
         for (const BatchArea& a : read.areas.all())
             areas += std::to_string(a.area.cellX) + "," + std::to_string(a.area.areaX) + " " +
                      "WDFC"[int(a.outcome)] + " " +
                      (a.project.empty() ? "-" : fs::relative(a.project, "out").string()) + "; ";
         // Paths with "/" as on Linux: Windows joins them with "\\".
         std::string shown = areas + read.error;
         std::replace(shown.begin(), shown.end(), '\\', '/');
         return Cells{shown, "unread " + std::to_string(read.unreadRows) + ", missing " +
                                 std::to_string(read.missing) + ", traces " +
                                 std::to_string(traces) + ", batch " +
                                 batchFolderOf("out/123_120_05_28/a.dat") + "."};
     }},
    {"digest",  // a project file's bytes | its points file's => the digest
     [](const Cells& in) { return Cells{savedDigest(in[0], in[1])}; }},
};

QM4_CASE_TABLE(ProjectCases, "project_cases.txt", kFunctions);

}  // namespace
}  // namespace qm4
