// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Discovery's record of the drives it found, shared by both variants.

#include <cstdint>

/// Empties the list of found drives (detect mode starts afresh).
void ForgetFoundDrives();

/// Appends a found 1.44 MB drive (1-based) to the list, and makes it JobState.floppyDriveNumber
/// when that is still 0.
void RecordFoundDrive(std::int32_t driveNumber);
