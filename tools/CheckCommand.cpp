// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Commands.h"
#include "tools/Console.h"
#include "tools/ContainerCheck.h"

#include <optional>
#include <string>

namespace tools {

int RunCheck(const char* containerPath) {
    std::string error;
    const std::optional<Container> container = Container::Open(containerPath, &error);
    if (!container) {
        ReportError(error);
        return kExitProblems;
    }
    const Problems problems = CheckContainer(*container);
    for (const std::string& problem : problems)
        PrintLine(std::string(containerPath) + ": " + problem);
    if (!problems.empty()) {
        ReportError(std::string(containerPath) + ": " + std::to_string(problems.size()) +
                    (problems.size() == 1 ? " problem" : " problems") + " found");
        return kExitProblems;
    }
    PrintLine(std::string(containerPath) + ": no problems found (" +
              std::to_string(container->entries().size()) + " entries)");
    return kExitOk;
}

} // namespace tools
