// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The worker thread of a floppy job.

/// Thread entry, started by the Create Floppy command without argument: runs the floppy job
/// (FloppyWriter::WriteFloppy) and ends. While a job is running it does nothing at all; the test
/// of JobState.busy and the claim of it are one atomic step, so two workers never both write.
void FloppyWorkerThread(void* unused);
