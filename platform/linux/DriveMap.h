// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What backs the drives A: and B:: the environment variables BOOTMEDIA_DRIVE_A and
// BOOTMEDIA_DRIVE_B name a floppy block device, a block device of 1,474,560 bytes or an image
// file; set to an empty value, the drive does not exist. A drive whose variable is unset is the
// next floppy drive the machine has (the floppy controller's first, then USB floppy drives),
// passing over one that the other variable names.

#include <optional>
#include <string>

namespace platform::layer {

inline constexpr int kDriveA = 1; ///< DOS drive numbers: 1 = A:
inline constexpr int kDriveB = 2;
/// The environment variable that names what backs DOS drive driveNumber (A: or B:).
constexpr const char* DriveVariable(int driveNumber) {
    constexpr const char* kDriveVariables[] = {"BOOTMEDIA_DRIVE_A", "BOOTMEDIA_DRIVE_B"};
    return kDriveVariables[driveNumber - kDriveA];
}

struct DrivePath {
    std::string path;
    /// Named by the environment: a path that does not exist is then a drive without a disk in
    /// it (an image file still to be put in), where a missing found device is no drive.
    bool named = false;
};

/// The backing of DOS drive driveNumber (1 = A:, 2 = B:), read from the environment and the
/// machine's drives at each call; nothing for any other drive, one mapped to the empty value,
/// or one left unset when no floppy drive remains for it.
std::optional<DrivePath> MappedDrive(int driveNumber);

} // namespace platform::layer
