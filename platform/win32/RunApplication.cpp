// SPDX-License-Identifier: GPL-2.0-or-later
// The program's start on Windows: the Win32 backend for the whole run. Its dialog templates and
// icon are in the executable's resources, so the resources given here are not needed.
#include "platform/fw/Application.h"
#include "platform/fw/Operator.h"
#include "platform/win32/Win32Backend.h"

namespace fw {

int RunApplication(int argc, char** argv, ProgramResources) {
    win32::Win32Backend backend;
    return ApplicationMain(argc, argv);
}

// Message boxes are the system's own windows here and would wait for a person: no batch runs.
bool RunUnattended(int, char**, ProgramResources, Operator&) {
    return false;
}

} // namespace fw
