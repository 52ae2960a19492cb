// Deciding how the SDK's compiler runs on a written source and what a run
// means: the program and its arguments, the command line as the author reads
// it, the .bgl the compiler writes, the name of its copy in the scenery
// folder, and the verdict on a run.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qm4 {

// A program to start and its arguments, each handed over as it stands: no
// shell reads them, so none is quoted.
struct CompilerCommand {
    std::string program;
    std::vector<std::string> arguments;
};

// "[runner] compiler /bgl sourceFile". The runner may hold words of its own
// ("wine64 --debug"); a part in double quotes keeps its blanks.
CompilerCommand compilerCommand(const std::string& compiler, const std::string& runner,
                                const std::string& sourceFile);

// The command as the author would type it: a word that holds a blank is
// quoted.
std::string commandLineText(const CompilerCommand& command);

// The file the compiler writes: the source's name with the extension .bgl.
std::string bglFileName(const std::string& sourceFile);

// The name proposed for the copy in the scenery folder: the project name
// made a safe file name, then "_LWM" or "_VTP", so that the two files of one
// project do not replace each other.
std::string proposedCopyName(const std::string& projectName, bool lwm);

// The name the author confirmed, without the blanks around it, made a safe
// file name that ends in .bgl.
std::string copyFileName(const std::string& confirmed);

enum class CompilerEnd { Finished, Crashed, NotStarted, TimedOut, Cancelled };

// A .bgl as the window reports it.
struct BglFile {
    std::string name;
    long long bytes = 0;
    std::string time;
};

// How a run of the compiler ended.
struct CompilerOutcome {
    CompilerEnd end = CompilerEnd::Finished;
    int exitCode = 0;
    // The .bgl that this run wrote; an older one left from before is none.
    std::optional<BglFile> written;
};

struct CompileVerdict {
    bool compiled = false;
    std::string summary;
};

// Compiled only when the compiler finished by itself with exit code 0 and
// wrote its .bgl; any other end is a failure that says why.
CompileVerdict compileVerdict(const std::string& sourceFile, const CompilerOutcome& outcome,
                              int limitSeconds);

}  // namespace qm4
