// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Floppy drive discovery and the floppy write job. The object holds nothing: every operation
// works on the process-wide FloppyDevice, JobState and PlatformProfile, and runs the NT-family
// or the Windows 9x variant by PlatformProfile.isNT.

#include <cstdint>

class FloppyWriter {
public:
    /// Detect mode (detect true; dialog thread, once at start-up): finds the 3.5-inch 1.44 MB
    /// drives, records them as the entries of the floppy list (FoundFloppyDrive) and the first
    /// one in JobState.floppyDriveNumber, and returns how many there are: NT looks at A: and B:
    /// (0 to 2); Windows 9x stops at the first (0 or 1), opens the VWIN32 device and keeps it
    /// open, and without it shows text 1024 and returns 0.
    /// Select mode (detect false; dialog thread, before each job): prepares the drive of list
    /// entry index for the writer (NT: opens its volume; 9x: reads its device parameters), and
    /// returns 1 when that drive is a usable 1.44 MB drive, else 0. While a job runs it leaves
    /// everything alone and returns 0.
    std::int32_t DetectFloppyDrives(bool detect, std::int32_t index);
    std::int32_t DetectFloppyDrivesNT(bool detect, std::int32_t index);
    std::int32_t DetectFloppyDrives9x(bool detect, std::int32_t index);

    /// The floppy job (worker thread): writes the front cylinders of the boot image to the drive
    /// select mode prepared, publishing progress and outcome in JobState, and shows its own
    /// failures in message boxes without owner. Ends the process with exit code 0 when there is
    /// no memory for the cylinder buffer.
    void WriteFloppy();
    void WriteFloppyNT();
    void WriteFloppy9x();
};
