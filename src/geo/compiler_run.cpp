// Starting the compiler with posix_spawn (safe beside the batch's threads),
// in its own process group so a time limit stops all it started.
#include "geo/compiler_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <thread>
#include <vector>

#include "textio/text_file.h"

namespace qm4::geo {
namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A value as the settings file keeps it: in double quotes when it holds
// characters the format reserves, with backslash escapes.
std::string settingValue(const std::string& raw) {
    std::string value = trimmed(raw);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        out += value[i];
    }
    return out;
}

std::string localTime(std::time_t when) {
    char text[32];
    std::tm parts{};
    localtime_r(&when, &parts);
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

}  // namespace

void readCompilerSettings(const std::string& iniText, CompilerSettings& settings) {
    std::istringstream lines(iniText);
    std::string group;
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        if (line.starts_with('[') && line.ends_with(']')) group = line.substr(1, line.size() - 2);
        const auto equals = line.find('=');
        if (group != "compiler" || equals == std::string::npos) continue;
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = settingValue(line.substr(equals + 1));
        if (key == "path") settings.compiler = value;
        if (key == "runner") settings.runner = value;
        if (key == "limitSeconds") {
            char* end = nullptr;
            const long seconds = std::strtol(value.c_str(), &end, 10);
            if (end != value.c_str() && *end == '\0')
                settings.limitSeconds = static_cast<int>(std::clamp(seconds, 1L, 3600L));
        }
    }
}

std::string windowSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string base =
        config && *config ? config : std::string(home ? home : "") + "/.config";
    return base + "/Quillmap4/Quillmap4.conf";
}

CompileVerdict compileInFolder(const CompilerSettings& settings, const std::string& folder,
                               const std::string& sourceFile, const std::string& logFile) {
    const CompilerCommand command = compilerCommand(settings.compiler, settings.runner, sourceFile);
    const std::string log = joinPath(folder, logFile);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    const std::string header = "$ " + commandLineText(command) + "\n";
    if (out >= 0) {
        // Without this line the log only lacks the command; the run is judged all the same.
        [[maybe_unused]] const auto written = ::write(out, header.data(), header.size());
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0) {
        posix_spawn_file_actions_adddup2(&actions, out, 1);
        posix_spawn_file_actions_adddup2(&actions, out, 2);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> argv{const_cast<char*>(command.program.c_str())};
    for (const std::string& argument : command.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        posix_spawnp(&pid, command.program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (out >= 0) ::close(out);
    CompilerOutcome outcome;
    if (spawned != 0) {
        outcome.end = CompilerEnd::NotStarted;
        return compileVerdict(sourceFile, outcome, settings.limitSeconds);
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(settings.limitSeconds);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            outcome.end = CompilerEnd::TimedOut;
            return compileVerdict(sourceFile, outcome, settings.limitSeconds);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!WIFEXITED(status)) {
        outcome.end = CompilerEnd::Crashed;
        return compileVerdict(sourceFile, outcome, settings.limitSeconds);
    }
    outcome.exitCode = WEXITSTATUS(status);
    // The folder is new for every area, so any .bgl there is this run's.
    const std::string bgl = bglFileName(sourceFile);
    struct stat written {};
    if (::stat(joinPath(folder, bgl).c_str(), &written) == 0 && S_ISREG(written.st_mode))
        outcome.written =
            BglFile{bgl, static_cast<long long>(written.st_size), localTime(written.st_mtime)};
    return compileVerdict(sourceFile, outcome, settings.limitSeconds);
}

}  // namespace qm4::geo
