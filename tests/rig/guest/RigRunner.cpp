// SPDX-License-Identifier: GPL-2.0-or-later
// The guest's runner: start-up as the program does it (the container from the working folder,
// floppy discovery, recorder discovery), then, when a floppy-list entry is named on the command
// line, the floppy job on it through the Create Floppy command's steps with the real writer and
// monitor. Every message box (answered OK), the monitor's status lines and bar positions, the
// outcome and the program's log go to standard output as records for the host.
//
//   rig_runner            start-up only
//   rig_runner ENTRY      start-up, then the floppy job on floppy-list entry ENTRY (0 = first)
//                         when the list has that entry
#include "HeadlessControls.h"
#include "Report.h"
#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "app/MessageBoxes.h"
#include "app/PlatformProfile.h"
#include "cd/RecorderList.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyMonitor.h"
#include "floppy/FloppyWorker.h"
#include "floppy/FloppyWriter.h"
#include "platform/Com.h"
#include "platform/MessageBoxPresenter.h"
#include "platform/System.h"
#include "platform/linux/Log.h"
#include "resfile/Catalogue.h"
#include "tests/rig/Protocol.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

using namespace win;

namespace {

constexpr int kStartupFailed = 2;
constexpr int kUsageError = 3;
constexpr int kDriveLetterBase = 'A' - 1; // drive 1 is A:

// Shows every box as a record and answers it as a user who wants the job done: OK.
class ReportingPresenter final : public platform::MessageBoxPresenter {
public:
    int show(HWND, const char* text, const char* caption, UINT type) override {
        char style[sizeof "0xFFFFFFFF"];
        std::snprintf(style, sizeof style, "0x%X", type);
        rig::Report(rig::kBoxRecord, {style, rig::Quote(caption), rig::Quote(text)});
        return IDOK;
    }
};

std::string Bool(bool value) {
    return value ? "1" : "0";
}

// What the dialog does before it shows itself, with the same calls in the same order.
bool StartUp(FloppyWriter& writer, RecorderList& recorders) {
    const auto started = std::chrono::steady_clock::now();
    CoInitialize(nullptr);
    DetectPlatformProfile();
    JobState.resourceFile = OpenResourceFile(kContainerFileName, true);
    if (GetResourceError() != kResourceOk)
        return false;
    std::uint32_t imageSize = 0;
    JobState.bootImageOffset = static_cast<std::int32_t>(
        GetResourceLocation(JobState.resourceFile, catalogue::kBootImage, &imageSize));
    if (GetResourceError() != kResourceOk)
        imageSize = 0;
    JobState.imageValid = imageSize == catalogue::kBootImageBytes;

    std::int32_t floppies = 0;
    std::int32_t recorderCount = 0;
    if (JobState.imageValid) {
        floppies = writer.DetectFloppyDrives(true, 0);
        if (PlatformProfile.cdCapable)
            recorderCount = recorders.EnumerateRecorders();
    }
    JobState.floppyCount = floppies;
    JobState.recorderCount = recorderCount;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);

    std::string letters;
    for (std::int32_t i = 0; i < floppies; ++i)
        letters += static_cast<char>(kDriveLetterBase + FoundFloppyDrive(i));
    rig::Report(rig::kStartupRecord, {std::to_string(elapsed.count()), std::to_string(floppies),
                                      rig::Quote(letters), std::to_string(recorderCount)});
    return true;
}

// The Create Floppy command's steps on an idle dialog: select mode on the entry, the question,
// then the monitor and the worker; returns once the monitor has given the dialog back.
void RunFloppyJob(FloppyWriter& writer, std::int32_t entry) {
    writer.DetectFloppyDrives(false, entry);
    if (!JobState.imageValid) {
        ShowTextBox(nullptr, catalogue::kInvalidImageError, catalogue::kErrorCaption, MB_ICONERROR);
        return;
    }
    if (ShowTextBox(nullptr, catalogue::kFloppyQuestion, catalogue::kQuestionCaption,
                    MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;

    rig::HeadlessPeer statusPeer(
        true, [](std::string_view text) { rig::Report(rig::kStatusRecord, {rig::Quote(text)}); });
    rig::HeadlessPeer barPeer(true, {}, [](int position, int high) {
        rig::Report(rig::kProgressRecord, {std::to_string(position), std::to_string(high)});
    });
    rig::HeadlessPeer floppyPeer(false);
    rig::HeadlessPeer exitPeer(false);
    rig::HeadlessPeer cdPeer(false);
    fw::Dialog dialog(0);
    rig::Headless<fw::ProgressCtrl> bar(barPeer);
    rig::Headless<fw::Button> floppyButton(floppyPeer);
    rig::Headless<fw::Button> exitButton(exitPeer);
    rig::Headless<fw::Button> cdButton(cdPeer);
    rig::Headless<fw::Static> status(statusPeer);

    JobState.closeRequested = false;
    auto controls = std::make_unique<FloppyJobControls>(
        FloppyJobControls{{&dialog, &bar, &floppyButton, &exitButton, &cdButton, &status}});
    JobState.floppyJobStarting = true;
    if (!platform::StartThread(FloppyProgressThread, controls.get())) {
        JobState.floppyJobStarting = false;
        return;
    }
    controls.release(); // the monitor owns it now
    if (!platform::StartThread(FloppyWorkerThread, nullptr)) {
        JobState.failed = true;
        JobState.floppyJobStarting = false;
    }
    exitPeer.waitUntilEnabled();
    rig::Report(rig::kOutcomeRecord, {Bool(JobState.failed), Bool(JobState.cancelRequested)});
}

// The program's log, where the layer gives the reasons that boxes cannot.
void ReportLog() {
    std::ifstream log(platform::layer::LogFilePath());
    for (std::string line; std::getline(log, line);)
        rig::Report(rig::kLogRecord, {rig::Quote(line)});
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [floppy-list-entry]\n", argv[0]);
        return kUsageError;
    }
    ReportingPresenter presenter;
    platform::SetMessageBoxPresenter(&presenter);
    FloppyWriter writer;
    RecorderList recorders;
    const bool started = StartUp(writer, recorders);
    // Without a drive the dialog offers no Create Floppy; an entry past the list names none.
    const std::int32_t entry = argc == 2 ? std::atoi(argv[1]) : -1;
    if (started && entry >= 0 && entry < JobState.floppyCount)
        RunFloppyJob(writer, entry);
    ReportLog();
    // As the program ends: at once, without waiting on the monitor's last steps.
    ExitProcess(started ? EXIT_SUCCESS : kStartupFailed);
}
