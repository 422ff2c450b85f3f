// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BatchRun.h"
#include "app/BootMediaApp.h"
#include "app/CommandLine.h"
#include "app/ExitStatus.h"
#include "app/ProgramTexts.h"
#include "res/Resources.h"

#include <cstdio>
#include <vector>

// The one application object, built before main as the framework expects.
CBootMediaApp theApp;

int main(int argc, char** argv) {
    const std::vector<const char*> parameters(argc > 0 ? argv + 1 : argv, argv + argc);
    const ProgramCommandLine line = ParseProgramCommandLine(parameters);
    switch (line.request) {
    case ProgramCommandLine::Request::Help:
        std::fputs(HelpText().c_str(), stdout);
        return kExitSucceeded;
    case ProgramCommandLine::Request::Version:
        std::fputs(VersionText().c_str(), stdout);
        return kExitSucceeded;
    case ProgramCommandLine::Request::Wrong:
        std::fputs(UsageErrorText(line.problem).c_str(), stderr);
        return kExitUsage;
    case ProgramCommandLine::Request::Batch:
        theApp.EnableCd(!line.noCd);
        return RunBatch(line);
    case ProgramCommandLine::Request::Dialog:
        break;
    }
    theApp.EnableCd(!line.noCd);
    return fw::RunApplication(res::BootMediaResources());
}
