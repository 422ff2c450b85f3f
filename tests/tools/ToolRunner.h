// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Runs programs for the tool's tests, through the shell, and collects what they say.

#include <initializer_list>
#include <string>

namespace tooltest {

/// How a program ended: its exit status (-1 when it did not exit normally) and everything it
/// wrote to its standard output and standard error, interleaved.
struct Outcome {
    int status = -1;
    std::string output;
};

/// Runs the resfile tool with the arguments.
Outcome RunTool(std::initializer_list<std::string> arguments);

/// Runs a shell command line.
Outcome RunShell(const std::string& commandLine);

/// The argument quoted for the shell.
std::string Quote(const std::string& argument);

/// True when the program is found on the search path.
bool HaveProgram(const std::string& name);

} // namespace tooltest
