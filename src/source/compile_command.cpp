// The compiler's command line, the names of its .bgl and of the copy, and
// the verdict on a run.
#include "source/compile_command.h"

#include "project/project_file.h"
#include "textio/text_file.h"

namespace qm4 {

namespace {

// Words separated by blanks; double quotes group blanks into a word.
std::vector<std::string> commandWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

}  // namespace

CompilerCommand compilerCommand(const std::string& compiler, const std::string& runner,
                                const std::string& sourceFile) {
    std::vector<std::string> words = commandWords(runner);
    words.insert(words.end(), {compiler, "/bgl", sourceFile});
    return {words.front(), std::vector<std::string>(words.begin() + 1, words.end())};
}

std::string commandLineText(const CompilerCommand& command) {
    std::string text = quotedWhereBlank(command.program);
    for (const std::string& argument : command.arguments) text += ' ' + quotedWhereBlank(argument);
    return text;
}

std::string bglFileName(const std::string& sourceFile) {
    return sourceFile.substr(0, sourceFile.rfind('.')) + ".bgl";
}

std::string proposedCopyName(const std::string& projectName, bool lwm) {
    return safeFileName(projectName) + (lwm ? "_LWM.bgl" : "_VTP.bgl");
}

std::string copyFileName(const std::string& confirmed) {
    const std::size_t first = confirmed.find_first_not_of(' ');
    const std::string name =
        first == std::string::npos
            ? std::string()
            : confirmed.substr(first, confirmed.find_last_not_of(' ') + 1 - first);
    return safeFileName(name) + (hasExtension(name, ".bgl") ? "" : ".bgl");
}

CompileVerdict compileVerdict(const std::string& sourceFile, const CompilerOutcome& outcome,
                              int limitSeconds) {
    const std::string failed = sourceFile + " was not compiled: ";
    switch (outcome.end) {
        case CompilerEnd::NotStarted:
            return {false, failed + "the compiler could not be started."};
        case CompilerEnd::Cancelled:
            return {false, failed + "compiling was cancelled and the compiler stopped."};
        case CompilerEnd::TimedOut:
            return {false, failed + "the compiler ran longer than " + std::to_string(limitSeconds) +
                               (limitSeconds == 1 ? " second" : " seconds") + " and was stopped."};
        case CompilerEnd::Crashed:
            return {false, failed + "the compiler ended abnormally."};
        case CompilerEnd::Finished:
            break;
    }
    const std::string exit = "exit code " + std::to_string(outcome.exitCode);
    if (outcome.exitCode != 0) return {false, failed + "the compiler ended with " + exit + "."};
    if (!outcome.written)
        return {false, failed + "the compiler ended with " + exit + " but wrote no " +
                           bglFileName(sourceFile) + "."};
    const BglFile& bgl = *outcome.written;
    return {true, sourceFile + " compiled: " + exit + ", " + bgl.name + ", " +
                      std::to_string(bgl.bytes) + (bgl.bytes == 1 ? " byte, " : " bytes, ") +
                      bgl.time + "."};
}

}  // namespace qm4
