// Fuzz target for the project file. Random bytes: parseProjectFile must
// accept exactly the files a second line splitter finds 26 lines and four
// readable option lines in, give those lines, and an applied file must write
// and parse back to the same fields (line breaks turned into blanks).
// Random states: projectFileText always has exactly 26 lines ended by CR LF,
// one field each in file order, and reads back to the same fields, also
// through a file on disk, unless a line is too long, which both ways refuse.
#include <array>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "fuzz_text.h"
#include "model/numbers.h"
#include "project/project_file.h"
#include "source/text_file.h"

namespace {

using qm4::ProjectState;

using TextField = std::string ProjectState::*;
using OptionField = bool ProjectState::*;

// Line number (from 0) of each field in the file.
struct TextLine {
    int line;
    TextField field;
};
struct OptionLine {
    int line;
    OptionField field;
    OptionField partner;
};

constexpr std::array<TextLine, 22> kTextLines = {{
    {0, &ProjectState::txtprojectname}, {1, &ProjectState::txtauthorname},
    {2, &ProjectState::txtcomments},    {3, &ProjectState::txtlatdeg},
    {4, &ProjectState::txtlatmin},      {5, &ProjectState::txtlongdeg},
    {6, &ProjectState::txtlongmin},     {7, &ProjectState::lbllatdd},
    {8, &ProjectState::lbllongdd},      {9, &ProjectState::lblcellx},
    {10, &ProjectState::lblcelly},      {11, &ProjectState::lblareax},
    {12, &ProjectState::lblareay},      {13, &ProjectState::txtcellx},
    {14, &ProjectState::txtcelly},      {15, &ProjectState::txtareax},
    {16, &ProjectState::txtareay},      {17, &ProjectState::txtaltitude},
    {20, &ProjectState::cbovtptype},    {21, &ProjectState::txtvtplinewidth},
    {22, &ProjectState::cbolayer},      {25, &ProjectState::cbolandclass},
}};

constexpr std::array<OptionLine, 4> kOptionLines = {{
    {18, &ProjectState::Option1, &ProjectState::Option2},
    {19, &ProjectState::Option2, &ProjectState::Option1},
    {23, &ProjectState::Option3, &ProjectState::Option4},
    {24, &ProjectState::Option4, &ProjectState::Option3},
}};

// Splits a file into at most 26 lines: a CR ends a line and swallows an LF
// right after it; any other LF belongs to the value; bytes after the last CR
// form a last line if there are any.
std::vector<std::string_view> fileLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty() && lines.size() < 26) {
        const std::size_t cr = bytes.find('\r');
        lines.push_back(bytes.substr(0, cr));
        if (cr == std::string_view::npos) break;
        bytes.remove_prefix(cr + 1);
        if (!bytes.empty() && bytes.front() == '\n') bytes.remove_prefix(1);
    }
    return lines;
}

// An option line: True or False in any letter case, or a number (0 false),
// blanks around it aside.
std::optional<bool> truth(std::string_view line) {
    std::string word(line);
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.pop_back();
    const std::size_t start = word.find_first_not_of(" \t");
    word.erase(0, start == std::string::npos ? word.size() : start);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == "true") return true;
    if (word == "false") return false;
    if (const auto number = qm4::strictNumber(line)) return *number != 0;
    return std::nullopt;
}

// Applies one option line: true selects the button and deselects its
// partner; false deselects the button alone.
void applyOption(ProjectState& s, const OptionLine& option, bool value) {
    s.*option.field = value;
    if (value) s.*option.partner = false;
}

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

// A state whose every reset and kept field is set, to see Open empty the
// first kind and leave the second.
ProjectState busyState() {
    ProjectState s;
    s.txtprojectname = "old";
    s.txtlwmnumber = "3";
    s.txtvtpnumber = " 2";
    s.lstLWM.lines = {"LWMPoint  1,  2"};
    s.lstLWM.selected = 0;
    s.lstVTP.lines = {"VTPPointXY2  4080,  4080"};
    s.chklwmnodata = true;
    s.lblx = " 1, ";
    s.lblvtp2y = " 4080";
    return s;
}

// The state Open should leave when it applies lines to busyState().
ProjectState expectedOpen(const std::vector<std::string>& lines) {
    ProjectState s = busyState();
    s.txtlwmnumber.clear();
    s.txtvtpnumber.clear();
    s.lstLWM = {};
    s.lstVTP = {};
    for (const auto& text : kTextLines) s.*text.field = lines[text.line];
    for (const auto& option : kOptionLines) applyOption(s, option, *truth(lines[option.line]));
    return s;
}

// The 26 lines of projectFileText: each field on its own line, line breaks
// as blanks, options as True or False.
void checkFileText(const ProjectState& s, const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    FUZZ_CHECK(start == text.size());
    FUZZ_CHECK(lines.size() == 26);
    for (const auto& line : lines) FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    for (const auto& field : kTextLines) {
        FUZZ_CHECK(lines[field.line] == oneLine(s.*field.field));
    }
    for (const auto& option : kOptionLines) {
        FUZZ_CHECK(lines[option.line] == (s.*option.field ? "True" : "False"));
    }
}

// Writing then reading gives every field back, line breaks as blanks and
// characters outside the code page as the encoding leaves them.
void checkRoundTrip(const ProjectState& s, const ProjectState& readBack) {
    for (const auto& field : kTextLines) {
        const std::string expected =
            qm4::fromWindows1252(qm4::toWindows1252(oneLine(s.*field.field)));
        FUZZ_CHECK(readBack.*field.field == expected);
    }
    ProjectState options = busyState();
    for (const auto& option : kOptionLines) applyOption(options, option, s.*option.field);
    for (const auto& option : kOptionLines) {
        FUZZ_CHECK(readBack.*option.field == options.*option.field);
    }
}

ProjectState readText(const std::string& text) {
    const auto content = qm4::parseProjectFile(qm4::toWindows1252(text));
    FUZZ_CHECK(content.ok());
    ProjectState s = busyState();
    qm4::applyProjectFile(s, *content);
    return s;
}

void checkBytes(std::string_view bytes) {
    const auto lines = fileLines(bytes);
    bool readable = lines.size() == 26;
    for (const auto& line : lines) readable = readable && line.size() <= qm4::kMaxProjectLineChars;
    for (const auto& option : kOptionLines) {
        readable = readable && truth(qm4::fromWindows1252(lines[option.line])).has_value();
    }
    const auto content = qm4::parseProjectFile(bytes);
    FUZZ_CHECK(content.ok() == readable);
    if (!content) return;

    std::vector<std::string> decoded;
    for (int i = 0; i < 26; ++i) {
        decoded.push_back(qm4::fromWindows1252(lines[i]));
        FUZZ_CHECK(content->lines[i] == decoded.back());
    }
    ProjectState s = busyState();
    qm4::applyProjectFile(s, *content);
    FUZZ_CHECK(s == expectedOpen(decoded));

    const std::string text = qm4::projectFileText(s);
    checkFileText(s, text);
    checkRoundTrip(s, readText(text));
}

// True when every line of the state's file fits the longest line a project
// file may hold (one byte per character on disk).
bool linesFit(const ProjectState& s) {
    for (const auto& field : kTextLines) {
        if (qm4::toWindows1252(oneLine(s.*field.field)).size() > qm4::kMaxProjectLineChars) {
            return false;
        }
    }
    return true;
}

void checkState(FuzzedDataProvider& in, const std::string& folder) {
    const bool toDisk = in.ConsumeIntegralInRange(0, 7) == 0;
    ProjectState s;
    for (auto& option : kOptionLines) s.*option.field = in.ConsumeBool();
    for (const auto& field : kTextLines) s.*field.field = qm4fuzz::fieldText(in);

    const std::string text = qm4::projectFileText(s);
    checkFileText(s, text);
    const std::string path = qm4::joinPath(folder, "project.dat");
    if (!linesFit(s)) {
        // Refused both ways, and a refused save leaves the earlier file alone.
        FUZZ_CHECK(!qm4::parseProjectFile(qm4::toWindows1252(text)).ok());
        if (toDisk) {
            FUZZ_CHECK(qm4::WriteProjectFile(path, ProjectState{}).ok());
            FUZZ_CHECK(!qm4::WriteProjectFile(path, s).ok());
            ProjectState opened;
            FUZZ_CHECK(qm4::ReadProjectFile(path, opened).ok());
            FUZZ_CHECK(opened == ProjectState{});
        }
        return;
    }
    const ProjectState readBack = readText(text);
    checkRoundTrip(s, readBack);

    if (toDisk) {
        FUZZ_CHECK(qm4::WriteProjectFile(path, s).ok());
        ProjectState opened = busyState();
        FUZZ_CHECK(qm4::ReadProjectFile(path, opened).ok());
        FUZZ_CHECK(opened == readBack);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const qm4fuzz::Folder folder;
    checkBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider in(data, size);
    checkState(in, folder.path());
    return 0;
}
