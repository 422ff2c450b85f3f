// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The CD build job: the worker thread of the Create CD-ROM command. It stages the CD file set and
// the boot image from the container in temporary storages, sets the disc's boot record and has
// the image mastering service record the disc on the chosen recorder. It publishes its phase in
// JobState.cdPhase (0, 1, 3, 4, 5, 6) and its end in JobState.failed and then JobState.busy, and
// shows its own error messages.

#include "platform/System.h"
#include "platform/Types.h"

#include <functional>

/// The job's pauses and how it waits; the defaults are those of the program.
struct CdJobTiming {
    /// At the start, before anything is read from the container (the monitor reads its texts
    /// meanwhile).
    win::DWORD startPause = 1000;
    /// After phases 1 and 3 are published.
    win::DWORD phasePause = 200;
    /// Waits milliseconds on the job's thread.
    std::function<void(win::DWORD milliseconds)> pause = [](win::DWORD milliseconds) {
        win::Sleep(milliseconds);
    };
};

/// Runs the job on the calling thread, in its own COM apartment, and returns when it has ended.
/// Reads JobState.resourceFile and JobState.selectedRecorder (the zero-based recorder to use;
/// negative, or past the recorders the service enumerates, for none). Sets busy at its start;
/// on every path sets failed (false only for a disc that was recorded and reported good) before
/// busy falls, after every reference it acquired, the temporary storages among them, has been
/// released. Error boxes, owned by no window, under caption 1006: 1039 no recordable drive
/// (phase 0), 1041 disc master missing or not opening (phase 0), 1031 a failed build step (the
/// phase stays where the step failed), 1038 a recording that did not report S_OK (phase 6).
void RunCdBuildJob(const CdJobTiming& timing);

/// Thread entry, started by the Create CD-ROM command after it has set busy, selectedRecorder
/// and cdPhase 0 and started the monitor; the argument is not used. Runs the job with the
/// program's timing.
void CdBuildThread(void* unused);
