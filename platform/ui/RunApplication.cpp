// SPDX-License-Identifier: GPL-2.0-or-later
// The program's start on Linux: the window or the terminal backend for the whole run.
#include "platform/fw/Application.h"
#include "platform/qt/QtBackend.h"
#include "platform/terminal/TerminalBackend.h"
#include "platform/ui/BackendChoice.h"

namespace fw {

int RunApplication(int argc, char** argv, ProgramResources resources) {
    if (ui::ChooseUi() == ui::UiKind::Terminal) {
        term::TerminalBackend backend(std::move(resources));
        return ApplicationMain(argc, argv);
    }
    qt::QtBackend backend(std::move(resources));
    return ApplicationMain(argc, argv);
}

} // namespace fw
