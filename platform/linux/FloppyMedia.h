// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The kinds of floppy drive the layer knows, the media each takes as Windows NT's floppy driver
// lists them, and the default device parameters DOS reports for each.

#include "platform/Devices.h"

#include <cstdint>
#include <optional>
#include <span>

namespace platform::layer {

enum class FloppyDriveType {
    k360K,  ///< 5.25-inch double density
    k1200K, ///< 5.25-inch high density
    k720K,  ///< 3.5-inch double density
    k1440K, ///< 3.5-inch high density
    k2880K, ///< 3.5-inch extra density
};

inline constexpr std::uint32_t kFloppySectorBytes = 512;
/// One cylinder of a 1.44 MB disk: 2 heads x 18 sectors of 512 bytes.
inline constexpr std::uint32_t kFloppyCylinderBytes = 18432;
/// Size of a 1.44 MB disk: a backing of this size (or an image file up to it) is such a disk.
inline constexpr std::uint64_t k1440KDiskBytes = 1474560;

/// A medium's record as IOCTL_DISK_GET_MEDIA_TYPES gives it.
constexpr win::DISK_GEOMETRY Medium(win::MEDIA_TYPE type, std::int64_t cylinders, win::DWORD heads,
                                    win::DWORD sectorsPerTrack, win::DWORD bytesPerSector) {
    return win::DISK_GEOMETRY{{cylinders}, type, heads, sectorsPerTrack, bytesPerSector};
}

/// The 1.44 MB disk: 80 cylinders, 2 heads, 18 sectors of 512 bytes.
inline constexpr win::DISK_GEOMETRY k1440KMedium = Medium(win::F3_1Pt44_512, 80, 2, 18, 512);

/// The drive type for the CMOS drive code that the Linux floppy driver reports (FDGETDRVPRM's
/// cmos field: 1 to 6); nothing for 0 (no drive) and unknown codes.
std::optional<FloppyDriveType> DriveTypeFromCmos(int cmos);

/// The media a drive of the type takes, lowest density first, as IOCTL_DISK_GET_MEDIA_TYPES
/// lists them.
std::span<const win::DISK_GEOMETRY> MediaTypesOf(FloppyDriveType type);

/// The list for a backing that is not a floppy: one fixed-disk record for its size, never a
/// floppy medium.
win::DISK_GEOMETRY FixedDiskGeometry(std::uint64_t bytes);

/// Fills the device-parameter block with the drive type's defaults: DOS device type (7 for the
/// 1.44 MB drive), cylinders and the BIOS parameter block of its largest medium.
void FillDefaultDeviceParams(FloppyDriveType type, DeviceParams& params);

} // namespace platform::layer
