// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/FloppyMonitor.h"

#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "app/MessageBoxes.h"
#include "floppy/FloppyDevice.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"

#include <memory>

using namespace win;

namespace {

constexpr DWORD kPollMilliseconds = 100;
constexpr DWORD kStartPollMilliseconds = 10;
// From the third cylinder on (index 2) the job is well under way: Create Floppy comes back (as
// the job's cancel) and a close request ends the process.
constexpr std::int32_t kWellUnderWay = 1;

std::string CylinderStatus(const char* format, std::int32_t cylinder, std::int32_t count) {
    return format::FormatResource(catalogue::kCylinderStatusFormat, format,
                                  {format::Arg::integer(cylinder), format::Arg::integer(count)});
}

[[noreturn]] void EmergencyExit() {
    JobState.cancelRequested = true;
    CloseHandle(FloppyDevice.vwin32Handle);
    CloseHandle(JobState.resourceFile);
    ExitProcess(0);
}

// drive: the drive the job wrote, which the success message names.
void ReportOutcome(const JobControls& controls, const char* statusFormat, std::int32_t count,
                   std::int32_t drive) {
    if (JobState.cancelRequested) {
        ShowTextBox(controls.dialog->GetHwnd(), catalogue::kFloppyCancelled,
                    catalogue::kCancelCaption, MB_ICONWARNING);
    } else if (!JobState.failed) {
        controls.progressBar->SetPos(count);
        controls.statusText->SetWindowText(CylinderStatus(statusFormat, count, count).c_str());
        const std::string message = format::FormatResource(
            catalogue::kFloppySuccessFormat, ContainerText(catalogue::kFloppySuccessFormat).get(),
            {format::Arg::string(ContainerText(catalogue::kSuccessDetail).get()),
             format::Arg::character(DriveLetter(drive))});
        MessageBoxA(controls.dialog->GetHwnd(), message.c_str(),
                    ContainerText(catalogue::kSuccessCaption).get(), MB_ICONINFORMATION);
    }
}

} // namespace

void FloppyProgressThread(void* argument) {
    const std::unique_ptr<FloppyJobControls> controls(static_cast<FloppyJobControls*>(argument));
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    const ResourceText statusFormat = ContainerText(catalogue::kCylinderStatusFormat);
    // Select mode chose the drive before this thread started, and no other runs until it ends.
    const std::int32_t drive = FloppyDevice.selectedDrive;

    while (JobState.floppyJobStarting)
        Sleep(kStartPollMilliseconds);
    if (JobState.floppyJobRefused) {
        // No job of this monitor's: nothing to report, and a running one's look is its own.
        JobState.floppyMonitorRunning = false;
        if (!JobState.busy)
            RestoreIdleLook(*controls, true, JobState.recorderCount > 0);
        return;
    }
    const std::int32_t count = JobState.cylinderCount;

    controls->progressBar->SetRange(0, count);
    controls->floppyButton->EnableWindow(false);
    controls->progressBar->SetPos(JobState.progress);
    std::int32_t lastShown = JobState.progress + 1;
    bool closeRequested = false;
    while (JobState.busy) {
        const std::int32_t progress = JobState.progress;
        if (progress != lastShown) {
            controls->progressBar->SetPos(progress);
            controls->statusText->SetWindowText(
                CylinderStatus(statusFormat.get(), progress + 1, count).c_str());
            lastShown = progress;
        }
        closeRequested = closeRequested || JobState.closeRequested;
        if (closeRequested && progress > kWellUnderWay)
            EmergencyExit();
        if (progress > kWellUnderWay)
            controls->floppyButton->EnableWindow(true);
        Sleep(kPollMilliseconds);
    }

    ReportOutcome(*controls, statusFormat.get(), count, drive);
    // The job's handle goes before the dialog offers a new job, whose handle it would be then.
    CloseFloppyVolume();
    JobState.floppyMonitorRunning = false;
    // A job too short to reach the third cylinder still honours the user's close.
    if (closeRequested || JobState.closeRequested)
        controls->dialog->EndDialog(IDCANCEL);
    else
        RestoreIdleLook(*controls, true, JobState.recorderCount > 0);
}
