// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the dialog thread, a job's worker and its monitor share: one process-wide record, polled
// without locks. Every field is a lock-free atomic of the record's size, so the polling design
// holds without a data race; a field written before a thread starts is seen by that thread.

#include "platform/Types.h"

#include <atomic>
#include <cstdint>

struct JobStateRecord {
    /// The open install.dat; written once at start-up.
    std::atomic<win::HANDLE> resourceFile{nullptr};
    /// File offset of the boot floppy image.
    std::atomic<std::int32_t> bootImageOffset{0};
    /// False when the boot image is wrongly sized or no drive at all was found.
    std::atomic<bool> imageValid{true};
    /// A job is running.
    std::atomic<bool> busy{false};
    /// The Create Floppy command has started a job's threads and the worker has not yet taken
    /// the job (busy set, cylinderCount this job's) or been refused it. The monitor waits for it
    /// to fall instead of trusting a fixed pause.
    std::atomic<bool> floppyJobStarting{false};
    /// The worker of the job being started did not get it (another job was running, or no
    /// worker could start): its monitor reports nothing. Set before floppyJobStarting falls.
    std::atomic<bool> floppyJobRefused{false};
    /// A floppy job's monitor runs, from the command's start of the job until the job's volume
    /// handle is closed: the command starts no other job meanwhile, so a new job's handle is
    /// never the old monitor's to close.
    std::atomic<bool> floppyMonitorRunning{false};
    /// A CD job's monitor runs, from the command's start of the job until it has restored the
    /// idle look: the job's end as the dialog shows it.
    std::atomic<bool> cdMonitorRunning{false};
    /// The running floppy job is to stop after the current cylinder.
    std::atomic<bool> cancelRequested{false};
    /// The job ended with an error that was already reported.
    std::atomic<bool> failed{false};
    /// The user closed the window during the first two cylinders.
    std::atomic<bool> closeRequested{false};
    /// Zero-based index of the cylinder last written.
    std::atomic<std::int32_t> progress{0};
    /// Cylinders the floppy job writes.
    std::atomic<std::int32_t> cylinderCount{0};
    /// Phase 0..6 of the CD job.
    std::atomic<std::int32_t> cdPhase{0};
    /// Zero-based index of the chosen recorder, -1 for none.
    std::atomic<std::int32_t> selectedRecorder{0};
    /// The first 1.44 MB drive found, 1-based (1 = A:); 0 for none. Its letter is number + 64.
    std::atomic<std::int32_t> floppyDriveNumber{0};
    /// Copies of the dialog's counts.
    std::atomic<std::int32_t> floppyCount{0};
    std::atomic<std::int32_t> recorderCount{0};
};

static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<std::int32_t>::is_always_lock_free);
static_assert(std::atomic<win::HANDLE>::is_always_lock_free);

extern JobStateRecord JobState;
