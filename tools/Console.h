// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How the tool ends and speaks: its exit codes and its messages on the standard streams.

#include <string_view>

namespace tools {

/// The tool's exit codes.
enum ExitCode : int {
    kExitOk = 0,       ///< done; for check: no problem found
    kExitProblems = 1, ///< bad input, a failure, or problems found by check
    kExitUsage = 2,    ///< the command line is not one the tool takes
};

/// Writes "resfile: message" and a line end to the standard error.
void ReportError(std::string_view message);

/// Writes the text and a line end to the standard output.
void PrintLine(std::string_view text);

} // namespace tools
