// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/FoundDrives.h"

#include "app/JobState.h"
#include "floppy/FloppyDevice.h"

void ForgetFoundDrives() {
    FloppyDevice.foundDrives.fill(0);
    FloppyDevice.foundCount = 0;
}

void RecordFoundDrive(std::int32_t driveNumber) {
    if (static_cast<std::size_t>(FloppyDevice.foundCount) < kMaxFloppyDrives)
        FloppyDevice.foundDrives[static_cast<std::size_t>(FloppyDevice.foundCount++)] = driveNumber;
    if (JobState.floppyDriveNumber == 0)
        JobState.floppyDriveNumber = driveNumber;
}
