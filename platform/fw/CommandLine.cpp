// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/CommandLine.h"

namespace fw {
namespace {
bool IsSwitch(const char* parameter) {
    return parameter[0] == '/' || parameter[0] == '-';
}
} // namespace

CommandLineInfo ParseCommandLine(std::span<const char* const> parameters) {
    CommandLineInfo info;
    for (const char* parameter : parameters) {
        if (parameter == nullptr)
            continue;
        if (IsSwitch(parameter))
            info.switches.emplace_back(parameter + 1);
        else if (info.fileName.empty())
            info.fileName = parameter;
    }
    return info;
}

} // namespace fw
