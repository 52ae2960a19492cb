// The two source writers, the combo-box lists, the view commands and the file
// boundary below them (code page, whole-file writes, capped reads), run over
// the rows of data/source_cases.txt.
#include <charconv>
#include <chrono>
#include <csignal>
#include <optional>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include "capture/capture.h"
#include "file_test_support.h"
#include "project/points_file.h"
#include "source/compile_command.h"
#include "source/source_writers.h"
#include "source/view_source.h"
#include "source/vocabulary.h"
#include "textio/text_file.h"

namespace qm4 {
namespace {

using namespace testing_support;

// With a fourth input, a file size limit in bytes, which stops the write
// part-way as a full disk does. Windows has no such limit: rows that use it
// hold for POSIX systems only.
Status writeLimited(const std::string& path, const std::string& bytes, const Cells& in) {
#ifdef _WIN32
    (void)in;
    return writeFileAtomically(path, bytes);
#else
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limited{in.size() > 3 ? std::stoul(in[3]) : before.rlim_cur, before.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const Status status = writeFileAtomically(path, bytes);
    setrlimit(RLIMIT_FSIZE, &before);
    return status;
#endif
}

#ifdef _WIN32
// Another program's hold on a file, as an editor or a virus scanner keeps
// it: others may read and write it, but not delete or replace it.
struct HeldOpen {
    HANDLE handle = CreateFileW(L"out", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    void release() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(std::exchange(handle, INVALID_HANDLE_VALUE));
    }
    ~HeldOpen() { release(); }
};
#else
struct HeldOpen {
    void release() {}
};
#endif

// Marks a file carries besides its bytes, as words: read-only on every
// system, hidden and system on Windows.
std::string marksOf(const fs::path& file) {
    if (!fs::is_regular_file(file)) return "";
    std::string words;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes & FILE_ATTRIBUTE_HIDDEN) words += " hidden";
    if (attributes & FILE_ATTRIBUTE_SYSTEM) words += " system";
#endif
    if ((fs::status(file).permissions() & fs::perms::owner_write) == fs::perms::none)
        words += " read-only";
    return words.empty() ? words : words.substr(1);
}

void setMarks(const fs::path& file, const std::string& words) {
    if (words.find("read-only") != std::string::npos)
        fs::permissions(file,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
#ifdef _WIN32
    DWORD attributes = GetFileAttributesW(file.c_str());
    if (words.find("hidden") != std::string::npos) attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (words.find("system") != std::string::npos) attributes |= FILE_ATTRIBUTE_SYSTEM;
    SetFileAttributesW(file.c_str(), attributes);
#endif
}

// "out" holds an earlier text; what happens to it before or between the two
// steps of a write; see source_cases.txt.
Cells replace(const Cells& in) {
    ScratchFolder scratch;
    writeBytes("out", "an earlier and longer text");
    setMarks("out", in[0]);
    std::optional<HeldOpen> held;
    if (in[0].starts_with("held open")) held.emplace();
    std::string status;
    {
        auto pending = PendingFile::write("out", "new");
        if (in[0] == "a folder comes") {
            fs::remove("out");
            fs::create_directory("out");
        }
        std::thread releaser;
        if (in[0] == "held open a moment") {
            releaser = std::thread([&held] {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                held->release();
            });
        }
        status = pending ? message(pending.value().commit()) : message(pending);
        if (releaser.joinable()) releaser.join();
    }
    held.reset();
    return {status, fs::is_directory("out") ? "a folder" : readBytes("out"), marksOf("out"),
            std::to_string(std::distance(fs::directory_iterator("."), {}))};
}

std::string octal(fs::perms mode) {
    char text[8];
    return std::string(text, std::to_chars(text, text + 8, static_cast<int>(mode), 8).ptr);
}

const Functions kFunctions = {
    {"lwm", [](const Cells& in) { return Cells{toWindows1252(*lwmSourceText(stateOf(in[0])))}; }},
    {"vtp", [](const Cells& in) { return Cells{toWindows1252(*vtpSourceText(stateOf(in[0])))}; }},
    {"example",  // a project | presses "x y; ..." | its picture | what the program writes
                 // [| first and last line] => those lines, as a document shows them
     [](const Cells& in) {
         ProjectState s = stateOf(in[0]);
         std::istringstream presses(in[1]);
         for (float x = 0, y = 0; presses >> x >> y; presses.ignore(1))
             Picture1_MouseDown(s, x, y, {}, {});
         const std::map<std::string, std::string> written = {
             {"LWMSource.asm", *lwmSourceText(s)},
             {"VTPSource.asm", *vtpSourceText(s)},
             {"project file", projectFileText(s)},
             {"points file", pointsFileText(pointsOf(s, in[2]))},
             {"LWM list", joined(s.lstLWM.lines)},
             {"VTP list", joined(s.lstVTP.lines)}};
         const Cells lines = linesOf(written.at(in[3]));
         const auto first = lines.begin() + (in.size() > 4 ? std::stoi(in[4]) - 1 : 0);
         return Cells{
             joined({first, in.size() > 4 ? lines.begin() + std::stoi(in[5]) : lines.end()})};
     }},
    {"heads",  // both point counters => LWM row 26, VTP rows 30 to 32
     [](const Cells& in) {
         ProjectState s = stateOf(dataBytes("states/lwm_harbour_land.state"));
         s.txtlwmnumber = s.txtvtpnumber = in[0];
         const Cells lwm = linesOf(*lwmSourceText(s)), vtp = linesOf(*vtpSourceText(s));
         return Cells{lwm[25], vtp[29], vtp[30], vtp[31]};
     }},
    {"create",  // the folder | the project => both statuses and the two files in ".",
                // which held "earlier" before
     [](const Cells& in) {
         ScratchFolder scratch;
         writeBytes("LWMSource.asm", "earlier");
         writeBytes("VTPSource.asm", "earlier");
         return Cells{message(createlwm(stateOf(in[1]), in[0])),
                      message(createvtp(stateOf(in[1]), in[0])), readBytes("LWMSource.asm"),
                      readBytes("VTPSource.asm")};
     }},
    {"editors",  // windir | path => Windows command line | Linux program | its arguments
     [](const Cells& in) {
         const EditorCommand command = linuxEditorCommand(in[1]);
         return Cells{windowsEditorCommandLine(in[0], in[1]), command.program,
                      joined(command.arguments)};
     }},
    {"compiler",  // compiler | runner | source => program | its arguments | command line | .bgl
     [](const Cells& in) {
         const CompilerCommand command = compilerCommand(in[0], in[1], in[2]);
         return Cells{command.program, joined(command.arguments), commandLineText(command),
                      bglFileName(in[2])};
     }},
    {"copies",  // project name | name typed => LWM proposal | VTP proposal | the copy's name
     [](const Cells& in) {
         return Cells{proposedCopyName(in[0], true), proposedCopyName(in[0], false),
                      copyFileName(in[1])};
     }},
    {"lists",
     [](const Cells&) {
         return Cells{joined(LandClassList()), joined(VtpTypeList()), joined(LayerList())};
     }},
    {"encode", [](const Cells& in) { return Cells{toWindows1252(in[0])}; }},
    {"decode", [](const Cells& in) { return Cells{fromWindows1252(in[0])}; }},
    {"write",  // see source_cases.txt
     [](const Cells& in) {
         ScratchFolder scratch;
         if (in[1] == "folder") fs::create_directory("out");
         writeBytes(in[1] == "folder" ? "out/inside" : "out", "an earlier and longer text");
         if (in[1] != "folder") fs::permissions("out", fs::perms(std::stoi(in[1], nullptr, 8)));
         std::string path = in[0];
         if (path.starts_with("<here>")) {
             const std::u8string here = fs::current_path().make_preferred().u8string();
             path.replace(0, 6, std::string(here.begin(), here.end()));
         }
         const Status status = writeLimited(path, in[2], in);
         return Cells{
             message(status), fs::is_directory("out") ? "a folder" : readBytes("out"),
             isRegularFile(path) ? octal(fs::status(path).permissions()) : "no ordinary file",
             std::to_string(std::distance(fs::recursive_directory_iterator("."), {}))};
     }},
    {"durable",  // => the steps of a write, then of one with the flushes turned off
     [](const Cells&) {
         ScratchFolder scratch;
         static std::string steps;
         steps.clear();
         watchDurableWrites(
             [](const char* step) { steps += std::string(steps.empty() ? "" : " ") + step; });
         Cells out{message(writeFileAtomically("out", "bytes"))};
         out.push_back(std::exchange(steps, ""));
         setSyncEachFile(false);
         writeFileAtomically("out", "more");
         setSyncEachFile(true);
         watchDurableWrites(nullptr);
         out.push_back(steps);
         return out;
     }},
    {"replace", replace},
    {"windows name",
     [](const Cells& in) {
         const std::string fault = windowsNameFault(in[0]);
         return Cells{fault.empty() ? "fine" : fault};
     }},
#ifdef _WIN32
    {"reason",  // a Windows error code | a language => the system's text for it
     [](const Cells& in) {
         return Cells{windowsErrorText(
             std::stoul(in[0]), static_cast<unsigned short>(std::stoul(in[1], nullptr, 16)))};
     }},
#endif
    {"read",  // bytes | the cap => the bytes read, or the error
     [](const Cells& in) {
         ScratchFolder scratch;
         writeBytes("in", in[0]);
         const auto read = readFileBytes("in", std::stoul(in[1]));
         return Cells{read ? *read : read.error().message};
     }},
    {"join", [](const Cells& in) { return Cells{joinPath(in[0], in[1])}; }},
};

QM4_CASE_TABLE(SourceCases, "source_cases.txt", kFunctions);

}  // namespace
}  // namespace qm4
