// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BatchOperator.h"

#include "app/BootMediaDlg.h"
#include "app/ContainerTexts.h"
#include "app/ExitStatus.h"
#include "app/JobState.h"
#include "app/ProgramTexts.h"
#include "floppy/FloppyDevice.h"
#include "platform/FileDrives.h"
#include "platform/fw/Application.h"
#include "res/ResourceIds.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace win;

namespace {

constexpr char kNoLetter = '-';

std::string DriveName(char letter) {
    return {letter != 0 ? letter : kNoLetter, ':'};
}

// The letter of each entry of the floppy list, as discovery found the drives.
std::vector<char> FloppyLetters() {
    std::vector<char> letters;
    for (std::int32_t i = 0; i < FloppyDevice.foundCount; ++i)
        letters.push_back(static_cast<char>(DriveLetter(FoundFloppyDrive(i))));
    return letters;
}

std::vector<char> RecorderLetters(const CBootMediaDlg& dialog) {
    std::vector<char> letters;
    for (std::int32_t i = 0; i < dialog.Recorders().count(); ++i)
        letters.push_back(static_cast<char>(dialog.Recorders().letterAt(i)));
    return letters;
}

int EntryOf(const std::vector<char>& letters, char letter) {
    const auto found = std::find(letters.begin(), letters.end(), letter);
    return found != letters.end() ? static_cast<int>(found - letters.begin()) : -1;
}

void NoteNotFound(fw::Panel& panel, const char* what, char letter) {
    panel.Note(std::string(kProgramName) + ": no " + what + " " + DriveName(letter) +
               " was found (" + kProgramName + " --list shows what was)");
}

} // namespace

void BatchOperator::Operate(fw::Panel& panel) {
    const fw::Application* application = fw::GetApp();
    const auto* dialog = application != nullptr
                             ? dynamic_cast<const CBootMediaDlg*>(application->GetMainWindow())
                             : nullptr;
    status_ = dialog != nullptr ? Run(panel, *dialog) : kExitFailed;
    panel.Click(res::kIdcExit);
}

int BatchOperator::Run(fw::Panel& panel, const CBootMediaDlg& dialog) {
    // No drive was looked for: the status line has told why.
    if (!dialog.BootImageFits())
        return kExitFailed;
    const std::vector<char> floppies = FloppyLetters();
    const std::vector<char> recorders = RecorderLetters(dialog);
    if (request_.list) {
        for (const char letter : floppies)
            panel.Print("floppy " + DriveName(letter));
        for (const char letter : recorders)
            panel.Print("cd " + DriveName(letter));
    }
    const int floppyEntry = EntryOf(floppies, request_.floppy);
    const int cdEntry = EntryOf(recorders, request_.cd);
    if (request_.floppy != 0 && floppyEntry < 0) {
        NoteNotFound(panel, "1.44 MB floppy drive", request_.floppy);
        return kExitUsage;
    }
    if (request_.cd != 0 && cdEntry < 0) {
        NoteNotFound(panel, "CD recorder", request_.cd);
        return kExitUsage;
    }
    if (request_.floppy == 0 && request_.cd == 0)
        return floppies.empty() && recorders.empty() ? kExitUsage : kExitSucceeded;

    if (request_.floppy != 0) {
        // The disk goes in only now, so that a run that stops before leaves no file behind.
        if (!request_.floppyImage.empty() && request_.yes) {
            const std::string problem = platform::MakeBlankFloppyImage(request_.floppyImage);
            if (!problem.empty()) {
                panel.Note(std::string(kProgramName) + ": " + problem);
                return kExitFailed;
            }
        }
        const int status = RunJob(panel, res::kIdcFloppyList, floppyEntry, res::kIdcCreateFloppy);
        if (status != kExitSucceeded)
            return status;
    }
    if (request_.cd != 0)
        return RunJob(panel, res::kIdcRecorderList, cdEntry, res::kIdcCreateCd);
    return kExitSucceeded;
}

// A command that starts a job marks its monitor as running before it returns, and the monitor
// clears the mark only once it has shown the outcome: the wait depends on no pause of the job.
int BatchOperator::RunJob(fw::Panel& panel, int list, int entry, int button) {
    refused_ = false;
    succeeded_ = false;
    failed_ = false;
    if (!panel.Select(list, entry) || !panel.Click(button)) {
        panel.Note(std::string(kProgramName) + ": the dialog does not offer that command now");
        return kExitFailed;
    }
    if (refused_)
        return kExitCancelled;
    panel.WaitUntil([] {
        return !JobState.busy && !JobState.floppyJobStarting && !JobState.floppyMonitorRunning &&
               !JobState.cdMonitorRunning;
    });
    // The floppy monitor gives up its mark as soon as the volume is closed, before it restores
    // the idle look.
    panel.WaitUntil([&] { return panel.IsEnabled(res::kIdcExit); });
    return succeeded_ && !failed_ ? kExitSucceeded : kExitFailed;
}

int BatchOperator::Answer(const fw::ShownBox& box) {
    if ((box.type & MB_TYPEMASK) == MB_OKCANCEL) {
        if (!request_.yes)
            refused_ = true;
        return request_.yes ? IDOK : IDCANCEL;
    }
    // The one box that tells of success is the information the monitors show at the end of a
    // job; errors, the cancelled job's warning and the message of a missing container are not.
    if ((box.type & MB_ICONMASK) == MB_ICONINFORMATION)
        succeeded_ = true;
    else
        failed_ = true;
    return IDOK;
}
