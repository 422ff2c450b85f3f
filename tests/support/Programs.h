// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Runs programs for tests, without a shell in between, and collects what they say.

#include <string>
#include <vector>

namespace test {

struct ProgramRun {
    /// The exit status; -1 when the program could not run or did not exit.
    int status = -1;
    /// Standard output and standard error together.
    std::string output;
};

/// Runs a program (found on the PATH unless the first argument is a path) with the arguments.
ProgramRun RunProgram(const std::vector<std::string>& arguments);

/// Whether a program of that name is on the PATH.
bool HaveProgram(const std::string& name);

} // namespace test
