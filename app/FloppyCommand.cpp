// SPDX-License-Identifier: GPL-2.0-or-later
// Create Floppy: prepares the chosen drive, asks, and starts the job's monitor and worker. While
// a job runs the same button (labelled as the job's cancel) asks that job to stop.
#include "app/BootMediaDlg.h"
#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "app/MessageBoxes.h"
#include "floppy/FloppyMonitor.h"
#include "floppy/FloppyWorker.h"
#include "platform/MessageBox.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"

#include <memory>

using namespace win;

namespace {
constexpr std::int32_t kProgressStep = 1;
} // namespace

void CBootMediaDlg::OnCreateFloppy() {
    if (JobState.busy) {
        JobState.cancelRequested = true;
        return;
    }
    // The last job's monitor still reports or tidies up: its job is not over yet.
    if (JobState.floppyMonitorRunning)
        return;

    m_floppyWriter.DetectFloppyDrives(false, m_cboFloppy.GetCurSel());
    m_progress.SetStep(kProgressStep);

    if (!JobState.imageValid) {
        ShowTextBox(GetHwnd(), catalogue::kInvalidImageError, catalogue::kErrorCaption,
                    MB_ICONERROR);
        return;
    }
    if (ShowTextBox(GetHwnd(), catalogue::kFloppyQuestion, catalogue::kQuestionCaption,
                    MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;

    m_strStatus = ContainerString(catalogue::kFloppyStartStatus);
    m_btnFloppy.SetWindowText(ContainerText(catalogue::kFloppyJobLabel).get());
    // Until the job is under way the button would cancel nothing: the monitor offers it again.
    m_btnFloppy.EnableWindow(false);
    m_btnExit.EnableWindow(false);
    m_btnCd.EnableWindow(false);
    JobState.closeRequested = false;

    auto controls = std::make_unique<FloppyJobControls>(
        FloppyJobControls{{this, &m_progress, &m_btnFloppy, &m_btnExit, &m_btnCd, &m_stcStatus}});
    JobState.floppyJobRefused = false;
    JobState.floppyMonitorRunning = true;
    JobState.floppyJobStarting = true;
    if (!platform::StartThread(FloppyProgressThread, controls.get())) {
        JobState.floppyJobStarting = false;
        JobState.floppyMonitorRunning = false;
        RestoreIdleLook(*controls, true, JobState.recorderCount > 0);
        return;
    }
    controls.release(); // the monitor owns it now
    if (!platform::StartThread(FloppyWorkerThread, nullptr)) {
        // No writer: the monitor resets the dialog without a message.
        JobState.floppyJobRefused = true;
        JobState.floppyJobStarting = false;
    }
    m_stcStatus.SetWindowText(m_strStatus.c_str());
}
