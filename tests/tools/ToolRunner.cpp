// SPDX-License-Identifier: GPL-2.0-or-later
#include "ToolRunner.h"

#include <array>
#include <cstdio>
#include <memory>
#include <sys/wait.h>

namespace tooltest {

std::string Quote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

Outcome RunShell(const std::string& commandLine) {
    Outcome outcome;
    const std::string merged = commandLine + " 2>&1";
    FILE* pipe = popen(merged.c_str(), "r");
    if (pipe == nullptr)
        return outcome;
    std::array<char, 4096> buffer{};
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        outcome.output.append(buffer.data(), got);
    const int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

Outcome RunTool(std::initializer_list<std::string> arguments) {
    std::string commandLine = Quote(RESFILE_TOOL);
    for (const std::string& argument : arguments)
        commandLine += " " + Quote(argument);
    return RunShell(commandLine);
}

bool HaveProgram(const std::string& name) {
    return RunShell("command -v " + Quote(name)).status == 0;
}

} // namespace tooltest
