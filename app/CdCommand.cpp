// SPDX-License-Identifier: GPL-2.0-or-later
// Create CD-ROM: asks, marks the job as running and starts its monitor and build job.
#include "app/BootMediaDlg.h"
#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "app/MessageBoxes.h"
#include "cd/CdBuildJob.h"
#include "cd/CdMonitor.h"
#include "platform/MessageBox.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"

#include <memory>

using namespace win;

void CBootMediaDlg::OnCreateCd() {
    // The monitor locks the buttons a moment after the job starts; a click in between must not
    // start a second job.
    if (JobState.busy || JobState.floppyJobStarting)
        return;
    if (!JobState.imageValid) {
        ShowTextBox(GetHwnd(), catalogue::kInvalidImageError, catalogue::kErrorCaption,
                    MB_ICONERROR);
        return;
    }
    if (ShowTextBox(GetHwnd(), catalogue::kCdQuestion, catalogue::kQuestionCaption,
                    MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;

    auto controls = std::make_unique<CdJobControls>(this, &m_progress, &m_btnFloppy, &m_btnExit,
                                                    &m_btnCd, &m_cboRecorder, &m_stcStatus);
    JobState.busy = true;
    JobState.selectedRecorder = m_cboRecorder.GetCurSel();
    JobState.cdPhase = 0;
    JobState.cdMonitorRunning = true;
    if (!platform::StartThread(CdProgressThread, controls.get())) {
        JobState.cdMonitorRunning = false;
        JobState.busy = false;
        return;
    }
    controls.release(); // the monitor owns it now
    if (!platform::StartThread(CdBuildThread, nullptr)) {
        // No job: the monitor resets the dialog without a success message.
        JobState.failed = true;
        JobState.busy = false;
    }
    m_stcStatus.SetWindowText(m_strStatus.c_str());
}
