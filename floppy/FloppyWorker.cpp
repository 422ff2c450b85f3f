// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/FloppyWorker.h"

#include "app/JobState.h"
#include "floppy/FloppyWriter.h"

void FloppyWorkerThread(void*) {
    bool running = false;
    if (!JobState.busy.compare_exchange_strong(running, true)) {
        // The monitor that waits for this job must not wait for ever.
        JobState.floppyJobRefused = true;
        JobState.floppyJobStarting = false;
        return;
    }
    FloppyWriter writer;
    writer.WriteFloppy();
}
