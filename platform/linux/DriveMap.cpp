// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/DriveMap.h"

#include "platform/linux/FloppyDriveScan.h"

#include <cstdlib>
#include <sys/stat.h>
#include <vector>

namespace platform::layer {
namespace {

bool SameDevice(const std::string& a, const char* b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b, &second) == 0 && S_ISBLK(first.st_mode) &&
           S_ISBLK(second.st_mode) && first.st_rdev == second.st_rdev;
}

} // namespace

std::optional<DrivePath> MappedDrive(int driveNumber) {
    if (driveNumber != kDriveA && driveNumber != kDriveB)
        return std::nullopt;
    if (const char* named = std::getenv(DriveVariable(driveNumber))) {
        if (*named == '\0')
            return std::nullopt;
        return DrivePath{named, true};
    }
    // The unset drives take the machine's floppy drives in order.
    const char* other = std::getenv(DriveVariable(driveNumber == kDriveA ? kDriveB : kDriveA));
    std::vector<std::string> found = FindFloppyDrives();
    std::erase_if(found, [other](const std::string& drive) {
        return other != nullptr && SameDevice(drive, other);
    });
    std::size_t place = 0;
    if (driveNumber == kDriveB && other == nullptr)
        place = 1;
    if (place >= found.size())
        return std::nullopt;
    return DrivePath{found[place], false};
}

} // namespace platform::layer
