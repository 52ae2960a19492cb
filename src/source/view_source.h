// Deciding how a written source file is shown: the missing-file messages and
// the editor command line of each platform.
#pragma once

#include <string>
#include <vector>

namespace qm4 {

extern const char* const kLwmMissingMessage;
extern const char* const kVtpMissingMessage;

// A program to start detached with its arguments.
struct EditorCommand {
    std::string program;
    std::vector<std::string> arguments;
};

// windir + "\notepad.exe " + path; a path holding blanks is quoted.
std::string windowsEditorCommandLine(const std::string& windir, const std::string& path);

// xdg-open with the path as its one argument.
EditorCommand linuxEditorCommand(const std::string& path);

}  // namespace qm4
