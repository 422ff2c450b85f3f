// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The framework's standard command-line parse: parameters beginning with '/' or '-' are
// switches; the first other one is the file-name parameter.

#include "platform/fw/String.h"

#include <span>
#include <vector>

namespace fw {

struct CommandLineInfo {
    /// The first non-empty parameter that is not a switch; "" for none.
    String fileName;
    /// The switches in order, without their '/' or '-'. Recognised, and acted on by nobody.
    std::vector<String> switches;
};

/// Parses parameters (without the program name); null entries are skipped.
CommandLineInfo ParseCommandLine(std::span<const char* const> parameters);

} // namespace fw
