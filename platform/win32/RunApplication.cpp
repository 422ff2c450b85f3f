// SPDX-License-Identifier: GPL-2.0-or-later
// The program's start on Windows: the Win32 backend for the whole run. Its dialog templates and
// icon are in the executable's resources, so the resources given here are not needed.
#include "platform/fw/Application.h"
#include "platform/fw/Operator.h"
#include "platform/win32/Win32Backend.h"

namespace fw {
namespace {
// Nothing has been read from the container yet: like the message for a missing container, this
// one is the program's own.
constexpr char kNoCallWindowText[] = "Could not create the program's message window.";
constexpr char kNoCallWindowCaption[] = "Error";
// Every path on which the program ends itself ends with 0.
constexpr int kNotStartedExitCode = 0;
} // namespace

int RunApplication(ProgramResources) {
    win32::Win32Backend backend;
    // Without its window no job could show progress or its outcome: stop before the dialog.
    if (!backend.carriesCalls()) {
        MessageBoxA(nullptr, kNoCallWindowText, kNoCallWindowCaption, MB_OK | MB_ICONERROR);
        return kNotStartedExitCode;
    }
    return ApplicationMain();
}

// Message boxes are the system's own windows here and would wait for a person: no batch runs.
bool RunUnattended(ProgramResources, Operator&) {
    return false;
}

} // namespace fw
