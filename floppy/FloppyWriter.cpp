// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/FloppyWriter.h"

#include "app/JobState.h"
#include "app/PlatformProfile.h"

std::int32_t FloppyWriter::DetectFloppyDrives(bool detect, std::int32_t index) {
    // A select-mode run during a job would replace the handle and geometry under the writer.
    if (!detect && JobState.busy)
        return 0;
    return PlatformProfile.isNT ? DetectFloppyDrivesNT(detect, index)
                                : DetectFloppyDrives9x(detect, index);
}

void FloppyWriter::WriteFloppy() {
    if (PlatformProfile.isNT)
        WriteFloppyNT();
    else
        WriteFloppy9x();
}
