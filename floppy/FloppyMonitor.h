// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The floppy job's monitor: mirrors the writer's progress into the dialog, tells the user how the
// job ended and puts the dialog back into its idle look.

#include "app/JobControls.h"

/// The controls the Create Floppy command hands to the monitor, which owns the record.
struct FloppyJobControls : JobControls {};

/// Thread entry, started by the Create Floppy command with a FloppyJobControls record it gives
/// up (deleted here), just before the worker. Waits until the writer has taken the job (it
/// publishes this job's cylinder count first), polls JobState every 100 ms while the job runs,
/// then shows the success (1023 / 1009, naming the drive written) or cancel (1022 / 1008)
/// message owned by the dialog, or nothing after a failure the writer reported, closes the
/// job's volume, clears floppyMonitorRunning and restores the dialog. When the worker was
/// refused the job it ends at once, restoring the dialog only when no job runs. A close of the
/// window early in the job ends the process, with exit code 0, once the third cylinder is on the
/// disk.
void FloppyProgressThread(void* controls);
