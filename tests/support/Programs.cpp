// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/Programs.h"

#include <array>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace test {
namespace {
constexpr std::size_t kPipeChunk = 4096;
} // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments) {
    ProgramRun run;
    int pipeEnds[2] = {};
    if (pipe(pipeEnds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv;
    std::vector<std::string> copies(arguments);
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::array<char, kPipeChunk> buffer{};
    for (ssize_t got; (got = read(pipeEnds[0], buffer.data(), buffer.size())) > 0;)
        run.output.append(buffer.data(), static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

bool HaveProgram(const std::string& name) {
    return RunProgram({"sh", "-c", "command -v \"$0\"", name}).status == 0;
}

} // namespace test
