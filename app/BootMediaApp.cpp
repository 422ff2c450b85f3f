// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BootMediaApp.h"

#include "app/BootMediaDlg.h"

#include <memory>

bool CBootMediaApp::InitInstance() {
    auto dialog = std::make_unique<CBootMediaDlg>();
    SetMainWindow(dialog.get());

    fw::CommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (commandLine.fileName == kNoCdWord)
        dialog->EnableCd(false);

    dialog->DoModal();
    SetMainWindow(nullptr);
    return false;
}
