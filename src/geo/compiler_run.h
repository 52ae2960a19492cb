// The SDK's compiler run without the window: its settings read from the
// window's own settings file, and one run in a folder with a time limit,
// judged as the window judges it.
#pragma once

#include <string>

#include "source/compile_command.h"

namespace qm4::geo {

struct CompilerSettings {
    std::string compiler;
    std::string runner;
    int limitSeconds = 60;
};

// The [compiler] group of the window's settings file (path, runner,
// limitSeconds); what the file lacks keeps its value in settings.
void readCompilerSettings(const std::string& iniText, CompilerSettings& settings);

// ~/.config/Quillmap4/Quillmap4.conf, or under $XDG_CONFIG_HOME.
std::string windowSettingsPath();

// Runs "[runner] compiler /bgl sourceFile" in the folder, not through a
// shell, its output appended to logFile there; stops it and everything it
// started past the time limit. The verdict says whether it compiled.
CompileVerdict compileInFolder(const CompilerSettings& settings, const std::string& folder,
                               const std::string& sourceFile, const std::string& logFile);

}  // namespace qm4::geo
