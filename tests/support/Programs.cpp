// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/Programs.h"

#include <array>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace test {
namespace {
constexpr std::size_t kPipeChunk = 4096;

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2] = {};
        if (::pipe2(ends, O_CLOEXEC) == 0) {
            read = ends[0];
            write = ends[1];
        }
    }
    ~Pipe() {
        closeWrite();
        if (read >= 0)
            ::close(read);
    }
    void closeWrite() {
        if (write >= 0)
            ::close(write);
        write = -1;
    }
};

// The caller's environment with call's variables set over it.
std::vector<std::string> EnvironmentOf(const ProgramCall& call) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const char* equals = std::strchr(*variable, '=');
        const std::string name(*variable, equals != nullptr ? equals - *variable : 0);
        if (!call.environment.contains(name))
            variables.emplace_back(*variable);
    }
    for (const auto& [name, value] : call.environment)
        variables.push_back(name + "=" + value);
    return variables;
}

// Reads both pipes until the program has closed them.
void Collect(int outputs, int errors, ProgramRun& run) {
    std::array<pollfd, 2> sources{{{outputs, POLLIN, 0}, {errors, POLLIN, 0}}};
    std::array<std::string*, 2> sinks{&run.output, &run.errors};
    std::array<char, kPipeChunk> buffer{};
    while (sources[0].fd >= 0 || sources[1].fd >= 0) {
        if (::poll(sources.data(), sources.size(), -1) < 0)
            return;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            if (sources[i].fd < 0 || sources[i].revents == 0)
                continue;
            const ssize_t got = ::read(sources[i].fd, buffer.data(), buffer.size());
            if (got > 0)
                sinks[i]->append(buffer.data(), static_cast<std::size_t>(got));
            else
                sources[i].fd = -1;
        }
    }
}

// apart: standard error goes to run.errors, else to run.output with standard output.
ProgramRun Run(const ProgramCall& call, bool apart) {
    ProgramRun run;
    Pipe outputs;
    Pipe errors;
    if (outputs.read < 0 || errors.read < 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (apart)
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outputs.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, apart ? errors.write : outputs.write, STDERR_FILENO);
    if (!call.folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, call.folder.c_str());
    std::vector<std::string> arguments(call.arguments);
    std::vector<std::string> variables = EnvironmentOf(call);
    std::vector<char*> argv = ArgumentPointers(arguments);
    std::vector<char*> envp = ArgumentPointers(variables);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    outputs.closeWrite();
    errors.closeWrite();
    Collect(outputs.read, errors.read, run);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

} // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments) {
    return Run({arguments, {}, {}}, false);
}

ProgramRun RunProgramApart(const ProgramCall& call) {
    return Run(call, true);
}

bool HaveProgram(const std::string& name) {
    return RunProgram({"sh", "-c", "command -v \"$0\"", name}).status == 0;
}

std::vector<char*> ArgumentPointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace test
