// SPDX-License-Identifier: GPL-2.0-or-later
// The program's start on Linux: the window or the terminal backend for the whole run, or the
// headless one when an operator works the dialog.
#include "platform/fw/Application.h"
#include "platform/fw/Operator.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/qt/QtBackend.h"
#include "platform/terminal/TerminalBackend.h"
#include "platform/ui/BackendChoice.h"

namespace fw {

int RunApplication(ProgramResources resources) {
    if (ui::ChooseUi() == ui::UiKind::Terminal) {
        term::TerminalBackend backend(std::move(resources));
        return ApplicationMain();
    }
    qt::QtBackend backend(std::move(resources));
    return ApplicationMain();
}

bool RunUnattended(ProgramResources resources, Operator& worker) {
    const headless::Console console = headless::Console::ForProcess();
    headless::HeadlessBackend backend(std::move(resources), worker, console);
    ApplicationMain();
    return true;
}

} // namespace fw
