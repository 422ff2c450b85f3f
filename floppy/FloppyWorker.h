// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The worker thread of a floppy job.

/// Thread entry, started by the Create Floppy command without argument: runs the floppy job
/// (FloppyWriter::WriteFloppy) and ends. While a job is running it touches neither the disk nor
/// that job's state, and only tells the monitor that waits for it (floppyJobRefused, then
/// floppyJobStarting falls); the test of JobState.busy and the claim of it are one atomic step,
/// so two workers never both write.
void FloppyWorkerThread(void* unused);
