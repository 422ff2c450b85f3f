// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The dialog controls a command hands to its job's monitor. The monitor owns the record; every
// control belongs to the dialog, which outlives the job.

#include "platform/fw/Button.h"
#include "platform/fw/Dialog.h"
#include "platform/fw/ProgressCtrl.h"
#include "platform/fw/Static.h"

struct JobControls {
    fw::Dialog* dialog;
    fw::ProgressCtrl* progressBar;
    fw::Button* floppyButton;
    fw::Button* exitButton;
    fw::Button* cdButton;
    fw::Static* statusText;
};

/// The dialog's look between jobs: bar at 0, the idle status line, the Create Floppy label back,
/// each command's button as its caller decides, and Exit enabled last: after that the dialog may
/// end at any moment, so a monitor touches no control once this has returned.
void RestoreIdleLook(const JobControls& controls, bool floppyEnabled, bool cdEnabled);
