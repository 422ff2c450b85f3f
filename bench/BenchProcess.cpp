// SPDX-License-Identifier: GPL-2.0-or-later
#include "bench/BenchProcess.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {
namespace {

constexpr const char* kClearRefs = "/proc/self/clear_refs";
// Written to clear_refs, it resets the peak resident set size to the current one.
constexpr const char* kResetPeak = "5";
constexpr const char* kStatus = "/proc/self/status";
constexpr const char* kPeakField = "VmHWM:";
constexpr const char* kNowhere = "/dev/null";
constexpr double kKiBPerMiB = 1024.0;
constexpr double kMicro = 1e6;

double CpuSeconds(const rusage& usage) {
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / kMicro;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ContextSwitches(const rusage& usage) {
    return static_cast<double>(usage.ru_nvcsw + usage.ru_nivcsw);
}

} // namespace

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double OwnCpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

double OwnContextSwitches() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return ContextSwitches(usage);
}

double ThreadCpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_THREAD, &usage);
    return CpuSeconds(usage);
}

double ThreadContextSwitches() {
    rusage usage = {};
    getrusage(RUSAGE_THREAD, &usage);
    return ContextSwitches(usage);
}

void ResetOwnPeak() {
    std::ofstream(kClearRefs) << kResetPeak;
}

double OwnPeakMiB() {
    std::ifstream status(kStatus);
    for (std::string line; std::getline(status, line);)
        if (line.rfind(kPeakField, 0) == 0)
            return std::strtod(line.c_str() + std::char_traits<char>::length(kPeakField), nullptr) /
                   kKiBPerMiB;
    return 0;
}

ChildRun RunChild(const std::vector<std::string>& arguments) {
    std::vector<std::string> copies(arguments);
    std::vector<char*> argv;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, kNowhere, O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, kNowhere, O_WRONLY, 0);
    ChildRun run;
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const bool spawned =
        posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage = {};
    if (spawned && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
        run.seconds = SecondsSince(start);
        run.cpuSeconds = CpuSeconds(usage);
        run.contextSwitches = ContextSwitches(usage);
        run.peakMiB = static_cast<double>(usage.ru_maxrss) / kKiBPerMiB;
    }
    return run;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace bench
