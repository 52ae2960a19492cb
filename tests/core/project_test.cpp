// The project file: exact bytes, open and save, line ends, the option pairing,
// and refused files and names, run over the rows of data/project_cases.txt.
#include "file_test_support.h"
#include "project/project_file.h"

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
              // => status | the project saved again | counters, lists and no-data box
     [](const Cells& in) {
         ScratchFolder scratch;
         if (in[1] == "folder") fs::create_directory("p.dat");
         if (in[1] != "folder" && in[1] != "nothing") writeBytes("p.dat", in[1]);
         ProjectState s = stateOf(in[0]);
         s.chklwmnodata = true;
         const std::string opened = message(ReadProjectFile("p.dat", s));
         const std::string saved = message(WriteProjectFile("q.dat", s));
         return Cells{opened, saved == "ok" ? readBytes("q.dat") : saved,
                      "counters \"" + s.txtlwmnumber + "\" \"" + s.txtvtpnumber + "\", " +
                          std::to_string(s.lstLWM.lines.size() + s.lstVTP.lines.size()) +
                          " list lines, no data " + (s.chklwmnodata ? "on" : "off")};
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
    {"path",  // a project name => its file in the folder /opt/q
     [](const Cells& in) {
         ProjectState s;
         s.txtprojectname = in[0];
         const auto path = ProjectFilePath("/opt/q", s);
         return Cells{path ? *path : message(path)};
     }},
};

QM4_CASE_TABLE(ProjectCases, "project_cases.txt", kFunctions);

}  // namespace
}  // namespace qm4
