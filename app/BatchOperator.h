// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The operator of a batch run: works the main dialog as a user would. It lists what start-up
// found, chooses the drive the command line names in the floppy list and presses Create Floppy,
// then does the same for the CD, waits for each job to give the dialog back, answers the
// questions as the command line says (--yes: OK, otherwise Cancel) and every other box with OK,
// and ends with Exit. The exit status comes from the boxes each job showed.

#include "app/ExitStatus.h"
#include "platform/fw/Operator.h"

#include <atomic>
#include <string>

class CBootMediaDlg;

struct BatchRequest {
    /// Print the drives and recorders found.
    bool list = false;
    /// Answer OK to the questions.
    bool yes = false;
    /// The floppy drive and the recorder to make the media in, by letter; 0 for none.
    char floppy = 0;
    char cd = 0;
    /// The image file that stands in for the floppy drive, made blank before the job when it does
    /// not exist yet (with yes only); "" for none.
    std::string floppyImage;
};

class BatchOperator final : public fw::Operator {
public:
    explicit BatchOperator(BatchRequest request) : request_(std::move(request)) {}

    /// Works the program's main dialog (the application's main window).
    void Operate(fw::Panel& panel) override;
    int Answer(const fw::ShownBox& box) override;
    /// kExitFailed until the run has come to its end: a process that ends earlier has not done
    /// what was asked.
    int ExitStatus() const override { return status_; }

private:
    int Run(fw::Panel& panel, const CBootMediaDlg& dialog);
    /// Chooses entry in list and presses button; the job's outcome once the dialog is back.
    int RunJob(fw::Panel& panel, int list, int entry, int button);

    const BatchRequest request_;
    std::atomic<int> status_{kExitFailed};
    // What the boxes of the job under way said.
    std::atomic<bool> refused_{false};
    std::atomic<bool> succeeded_{false};
    std::atomic<bool> failed_{false};
};
