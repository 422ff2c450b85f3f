// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Runs programs for tests, without a shell in between, and collects what they say.

#include <map>
#include <string>
#include <vector>

namespace test {

struct ProgramRun {
    /// The exit status; -1 when the program could not run or did not exit.
    int status = -1;
    /// Standard output, and standard error with it unless the call keeps them apart.
    std::string output;
    /// Standard error, when the call keeps it apart.
    std::string errors;
};

/// Runs a program (found on the PATH unless the first argument is a path) with the arguments.
ProgramRun RunProgram(const std::vector<std::string>& arguments);

struct ProgramCall {
    std::vector<std::string> arguments;
    /// The working folder; "" for the caller's.
    std::string folder;
    /// Variables set for the program over the caller's environment.
    std::map<std::string, std::string> environment;
};

/// Runs call's program with standard input from /dev/null, standard output and error apart.
ProgramRun RunProgramApart(const ProgramCall& call);

/// The strings as the null-ended array of pointers that exec and posix_spawn take; valid while
/// strings stay as they are.
std::vector<char*> ArgumentPointers(std::vector<std::string>& strings);

/// Whether a program of that name is on the PATH.
bool HaveProgram(const std::string& name);

} // namespace test
