// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BatchRun.h"
#include "app/BootMediaApp.h"
#include "app/CommandLine.h"
#include "app/ExitStatus.h"
#include "app/ProgramTexts.h"
#include "res/Resources.h"

#include <vector>

// The one application object, built before main as the framework expects.
CBootMediaApp theApp;

int main(int argc, char** argv) {
    const std::vector<const char*> parameters(argc > 0 ? argv + 1 : argv, argv + argc);
    const ProgramCommandLine line = ParseProgramCommandLine(parameters);
    switch (line.request) {
    case ProgramCommandLine::Request::Help:
        TellUser(HelpText(), false);
        return kExitSucceeded;
    case ProgramCommandLine::Request::Version:
        TellUser(VersionText(), false);
        return kExitSucceeded;
    case ProgramCommandLine::Request::Wrong:
        TellUser(UsageErrorText(line.problem), true);
        return kExitUsage;
    case ProgramCommandLine::Request::Batch:
    case ProgramCommandLine::Request::Dialog:
        break;
    }
    theApp.EnableCd(!line.noCd);
    if (line.request == ProgramCommandLine::Request::Batch)
        return RunBatch(line);
    return fw::RunApplication(res::BootMediaResources());
}
