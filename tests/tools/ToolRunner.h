// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Runs the resfile tool for its tests and collects what it says.

#include "support/Programs.h"

#include <initializer_list>
#include <string>

namespace tooltest {

using Outcome = test::ProgramRun;

/// Runs the resfile tool with the arguments.
Outcome RunTool(std::initializer_list<std::string> arguments);

} // namespace tooltest
