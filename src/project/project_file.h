// The 26-line project file: writing, reading, its path, and the reset that
// Open performs before it applies a file.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "model/expected.h"
#include "model/project_state.h"

namespace qm4 {

inline constexpr int kProjectFileLines = 26;

// The longest line a project file may hold: the most a text box shows, so
// that no opened field is cut where it is shown.
inline constexpr std::size_t kMaxProjectLineChars = 32767;

// The 26 lines as UTF-8 text with CR LF after each, "True"/"False" for the
// option buttons. A CR or LF inside a value is written as a blank.
std::string projectFileText(const ProjectState& s);

// Fails, naming the line, when a line of the project text would be longer
// than kMaxProjectLineChars.
Status checkProjectLines(std::string_view text);

// Writes the project file as Windows-1252 over any earlier one in one step.
// A value longer than kMaxProjectLineChars is refused before the file is
// touched, so every saved project opens again.
Status WriteProjectFile(const std::string& path, const ProjectState& s);

// The 26 values of a project file, checked and decoded, not yet applied.
struct ProjectFileContent {
    std::array<std::string, kProjectFileLines> lines;  // UTF-8; option lines as read
    std::array<bool, kProjectFileLines> truth{};       // truth value of the option lines
};

// Parses Windows-1252 bytes whose lines end in CR LF, LF or a lone CR. Fails,
// naming the line, on a file with fewer than 26 lines, a line longer than kMaxProjectLineChars, or
// an option line that is neither True, False nor a number.
Expected<ProjectFileContent> parseProjectFile(std::string_view bytes);

// Empties the fields that Open resets, both lists and both counters.
void resetForOpen(ProjectState& s);

// resetForOpen, then each line in file order; option lines select or
// deselect their button as described for a pair.
void applyProjectFile(ProjectState& s, const ProjectFileContent& content);

// A project name made fit to be a file name on any system once an
// extension follows it: characters a file name cannot hold become "_", a
// name Windows keeps for a device gets "_" after it ("CON_", "nul_.x"), and
// a name of nothing but blanks and periods becomes "Untitled".
std::string safeFileName(std::string_view name);

// Whether a name ends in the extension (".dat", ".bgl") in any letter case.
bool hasExtension(std::string_view name, std::string_view extension);

// The file Save proposes: folder + separator + the safe name + ".dat".
std::string ProjectFilePath(const std::string& folder, const ProjectState& s);

// A path without its ".dat" (any letter case), and one with it added when
// it is missing.
std::string withoutProjectExtension(const std::string& path);
std::string withProjectExtension(const std::string& path);

}  // namespace qm4
