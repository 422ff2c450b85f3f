// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The CD job's monitor: keeps the buttons locked while the job runs, shows its phase in the
// status line and the bar, tells the user when the disc is done and restores the idle look.

#include "app/JobControls.h"
#include "platform/fw/ComboBox.h"

/// The controls the Create CD-ROM command hands to the monitor, which owns the record.
struct CdJobControls : JobControls {
    CdJobControls(fw::Dialog* dialogWindow, fw::ProgressCtrl* bar, fw::Button* floppy,
                  fw::Button* exit, fw::Button* cd, fw::ComboBox* recorders, fw::Static* status)
        : JobControls{dialogWindow, bar, floppy, exit, cd, status}, recorderCombo(recorders) {}

    /// Carried for the command; the monitor does not use it.
    fw::ComboBox* recorderCombo;
};

/// Thread entry, started by the Create CD-ROM command with a CdJobControls record it gives up
/// (deleted here), just before the build job. Shows text 1042 + phase while JobState.busy is
/// set, then the success message (1032 / 1009, owned by the dialog) unless the job failed, and
/// restores the dialog.
void CdProgressThread(void* controls);
