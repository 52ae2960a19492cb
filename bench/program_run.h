// A program run to its end from a shell command line, for the benchmarks that
// set the helper beside ogr2ogr: its wall time, peak memory and processor time.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

struct ProgramRun {
    double seconds = 0;
    long peakKilobytes = 0;
    double cpuSeconds = 0;  // user and system
};

// The command's last word should run the program itself (exec keeps its
// memory the child's own). failing: the highest exit status taken as a
// finished run; past it the benchmark stops.
inline ProgramRun runProgram(const std::string& command, int failing = 0) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", ("exec " + command + " >/dev/null 2>&1").c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > failing) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::abort();
    }
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}
