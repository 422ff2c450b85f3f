// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BootMediaApp.h"

#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "platform/System.h"

#include <memory>

bool CBootMediaApp::InitInstance() {
    auto dialog = std::make_unique<CBootMediaDlg>();
    SetMainWindow(dialog.get());

    // main has read the command line (its own parse gives the framework's file name too).
    if (!m_cdEnabled)
        dialog->EnableCd(false);

    dialog->DoModal();
    // A job still running when the dialog ends goes down with the process: its threads act on
    // the dialog's controls, which must not go away under them. A job's monitor still reports
    // and tidies up after the job itself is over.
    if (JobState.busy || JobState.floppyJobStarting || JobState.floppyMonitorRunning ||
        JobState.cdMonitorRunning)
        win::ExitProcess(0);
    SetMainWindow(nullptr);
    return false;
}
