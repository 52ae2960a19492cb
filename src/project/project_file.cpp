// The 26-line project file. Reading parses every line before any field
// changes, so a short or malformed file leaves the project as it was.
#include "project/project_file.h"

#include <algorithm>
#include <optional>

#include "model/numbers.h"
#include "textio/text_file.h"

namespace qm4 {

namespace {

// One line of the file: a text field, or an option button with the partner
// that selecting it deselects.
struct LineField {
    std::string ProjectState::*text = nullptr;
    bool ProjectState::*option = nullptr;
    bool ProjectState::*partner = nullptr;
};

using PS = ProjectState;

// File order. The text fields in this order are also the fields Open empties
// first, in the order it empties them.
const std::array<LineField, kProjectFileLines> kLineFields = {{
    {&PS::txtprojectname},
    {&PS::txtauthorname},
    {&PS::txtcomments},
    {&PS::txtlatdeg},
    {&PS::txtlatmin},
    {&PS::txtlongdeg},
    {&PS::txtlongmin},
    {&PS::lbllatdd},
    {&PS::lbllongdd},
    {&PS::lblcellx},
    {&PS::lblcelly},
    {&PS::lblareax},
    {&PS::lblareay},
    {&PS::txtcellx},
    {&PS::txtcelly},
    {&PS::txtareax},
    {&PS::txtareay},
    {&PS::txtaltitude},
    {nullptr, &PS::Option1, &PS::Option2},
    {nullptr, &PS::Option2, &PS::Option1},
    {&PS::cbovtptype},
    {&PS::txtvtplinewidth},
    {&PS::cbolayer},
    {nullptr, &PS::Option3, &PS::Option4},
    {nullptr, &PS::Option4, &PS::Option3},
    {&PS::cbolandclass},
}};

// The format has no escape, so a line break inside a value would shift every
// later field when the file is read back.
std::string oneLine(std::string value) {
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    return value;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "True", "False" in any letter case, or a number with 0 for false.
std::optional<bool> truthValue(std::string_view line) {
    const auto word = trimBlanks(line);
    if (equalsIgnoringCase(word, "True")) return true;
    if (equalsIgnoringCase(word, "False")) return false;
    if (const auto number = strictNumber(line)) return *number != 0;
    return std::nullopt;
}

Error lineTooLong(int line, std::size_t characters, const char* verb) {
    return Error{"Line " + std::to_string(line) + " of the project file " + verb + " " +
                 std::to_string(characters) + " characters; a line holds at most " +
                 std::to_string(kMaxProjectLineChars) + "."};
}

// Characters of a UTF-8 text: the bytes that start a sequence.
std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string projectFileText(const ProjectState& s) {
    std::string text;
    for (const auto& field : kLineFields) {
        text += field.text ? oneLine(s.*field.text) : (s.*field.option ? "True" : "False");
        text += "\r\n";
    }
    return text;
}

Status checkProjectLines(std::string_view text) {
    std::size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        const std::size_t end = text.find("\r\n", start);
        const std::size_t characters = characterCount(text.substr(start, end - start));
        if (characters > kMaxProjectLineChars) return lineTooLong(line, characters, "would hold");
        start = end + 2;
    }
    return okStatus();
}

Status WriteProjectFile(const std::string& path, const ProjectState& s) {
    const std::string text = projectFileText(s);
    if (const Status fits = checkProjectLines(text); !fits) return fits;
    return writeFileAtomically(path, toWindows1252(text));
}

Expected<ProjectFileContent> parseProjectFile(std::string_view bytes) {
    // A file edited on another system may end its lines in LF or a lone CR.
    const std::vector<std::string_view> lines = splitLines(bytes);
    const int count = static_cast<int>(std::min<std::size_t>(lines.size(), kProjectFileLines));
    if (count < kProjectFileLines) {
        return Error{"The project file has only " + std::to_string(count) + " line" +
                     (count == 1 ? "" : "s") + "; a project file has " +
                     std::to_string(kProjectFileLines) + "."};
    }
    ProjectFileContent content;
    for (int i = 0; i < kProjectFileLines; ++i) content.lines[i] = fromWindows1252(lines[i]);
    for (int i = 0; i < kProjectFileLines; ++i) {
        const std::size_t characters = characterCount(content.lines[i]);
        if (characters > kMaxProjectLineChars) return lineTooLong(i + 1, characters, "holds");
    }
    for (int i = 0; i < kProjectFileLines; ++i) {
        if (!kLineFields[i].option) continue;
        const auto truth = truthValue(content.lines[i]);
        if (!truth) {
            return Error{"Line " + std::to_string(i + 1) +
                         " of the project file should be \"True\", \"False\" or a number, but it "
                         "is \"" +
                         content.lines[i] + "\"."};
        }
        content.truth[i] = *truth;
    }
    return content;
}

void resetForOpen(ProjectState& s) {
    for (const auto& field : kLineFields) {
        if (field.text) (s.*field.text).clear();
    }
    s.txtlwmnumber.clear();
    s.txtvtpnumber.clear();
    s.lstLWM = PointList{};
    s.lstVTP = PointList{};
    s.imagery.clear();
}

void applyProjectFile(ProjectState& s, const ProjectFileContent& content) {
    resetForOpen(s);
    for (int i = 0; i < kProjectFileLines; ++i) {
        const auto& field = kLineFields[i];
        if (field.text) {
            s.*field.text = content.lines[i];
        } else if (content.truth[i]) {
            s.*field.option = true;
            s.*field.partner = false;
        } else {
            s.*field.option = false;
        }
    }
}

std::string safeFileName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    if (safe.find_first_not_of(". ") == std::string::npos) return "Untitled";
    // "CON.dat" would be the console on Windows, not a file.
    if (const std::size_t device = windowsDeviceNameLength(safe)) safe.insert(device, "_");
    return safe;
}

std::string ProjectFilePath(const std::string& folder, const ProjectState& s) {
    return joinPath(folder, safeFileName(s.txtprojectname) + ".dat");
}

bool hasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           equalsIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

std::string withoutProjectExtension(const std::string& path) {
    return hasExtension(path, ".dat") ? path.substr(0, path.size() - 4) : path;
}

std::string withProjectExtension(const std::string& path) {
    return withoutProjectExtension(path) == path ? path + ".dat" : path;
}

}  // namespace qm4
