// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/DriveMap.h"

#include <cstdlib>

namespace platform::layer {
namespace {

struct DriveDefault {
    int number;
    const char* variable;
    const char* device;
};

constexpr DriveDefault kDrives[] = {
    {kDriveA, "BOOTMEDIA_DRIVE_A", "/dev/fd0"},
    {kDriveB, "BOOTMEDIA_DRIVE_B", "/dev/fd1"},
};

} // namespace

std::optional<DrivePath> MappedDrive(int driveNumber) {
    for (const DriveDefault& drive : kDrives) {
        if (drive.number != driveNumber)
            continue;
        const char* named = std::getenv(drive.variable);
        if (named == nullptr)
            return DrivePath{drive.device, false};
        if (*named == '\0')
            return std::nullopt;
        return DrivePath{named, true};
    }
    return std::nullopt;
}

} // namespace platform::layer
