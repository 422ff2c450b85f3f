// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/CdMonitor.h"

#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "platform/MessageBox.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"

#include <array>
#include <memory>
#include <optional>

using namespace win;

namespace {

constexpr DWORD kPollMilliseconds = 100;
constexpr int kBarLow = 0;
constexpr int kBarHigh = 10;

// Where the bar stands in each phase; nothing: it stays where it was.
constexpr std::array<std::optional<int>, catalogue::kCdPhaseCount> kBarByPhase = {
    std::nullopt, 1, std::nullopt, std::nullopt, 3, 5, kBarHigh};

void ShowPhase(const JobControls& controls,
               const std::array<ResourceText, catalogue::kCdPhaseCount>& texts,
               std::int32_t phase) {
    if (phase < 0 || phase >= catalogue::kCdPhaseCount)
        return;
    controls.statusText->SetWindowText(texts[static_cast<std::size_t>(phase)].get());
    if (const std::optional<int> position = kBarByPhase[static_cast<std::size_t>(phase)])
        controls.progressBar->SetPos(*position);
}

void ReportSuccess(const JobControls& controls) {
    controls.progressBar->SetPos(kBarHigh);
    const std::string message = format::FormatResource(
        catalogue::kCdSuccessFormat, ContainerText(catalogue::kCdSuccessFormat).get(),
        {format::Arg::string(ContainerText(catalogue::kSuccessDetail).get()),
         format::Arg::character(DriveLetter(JobState.floppyDriveNumber))});
    MessageBoxA(controls.dialog->GetHwnd(), message.c_str(),
                ContainerText(catalogue::kSuccessCaption).get(), MB_ICONINFORMATION);
}

} // namespace

void CdProgressThread(void* argument) {
    const std::unique_ptr<CdJobControls> controls(static_cast<CdJobControls*>(argument));
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);

    // Read before the job's first container read, which follows its opening pause.
    std::array<ResourceText, catalogue::kCdPhaseCount> phaseTexts;
    for (int phase = 0; phase < catalogue::kCdPhaseCount; ++phase)
        phaseTexts[static_cast<std::size_t>(phase)] =
            ContainerText(static_cast<ResourceId>(catalogue::kCdPhaseFirst + phase));

    controls->cdButton->EnableWindow(false);
    controls->floppyButton->EnableWindow(false);
    controls->exitButton->EnableWindow(false);

    std::int32_t shownPhase = JobState.cdPhase - 1;
    controls->progressBar->SetRange(kBarLow, kBarHigh);
    controls->progressBar->SetPos(kBarLow);
    while (JobState.busy) {
        const std::int32_t phase = JobState.cdPhase;
        if (phase != shownPhase) {
            ShowPhase(*controls, phaseTexts, phase);
            shownPhase = phase;
        }
        Sleep(kPollMilliseconds);
    }
    if (!JobState.failed)
        ReportSuccess(*controls);

    RestoreIdleLook(*controls, JobState.floppyCount > 0, true);
    JobState.cdMonitorRunning = false;
}
