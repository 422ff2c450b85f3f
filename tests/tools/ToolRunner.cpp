// SPDX-License-Identifier: GPL-2.0-or-later
#include "ToolRunner.h"

#include <vector>

namespace tooltest {

Outcome RunTool(std::initializer_list<std::string> arguments) {
    std::vector<std::string> command{RESFILE_TOOL};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return test::RunProgram(command);
}

} // namespace tooltest
