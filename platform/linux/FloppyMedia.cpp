// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/FloppyMedia.h"

#include <array>

namespace platform::layer {
namespace {

using win::DISK_GEOMETRY;

constexpr DISK_GEOMETRY k1200KMedium = Medium(win::F5_1Pt2_512, 80, 2, 15, 512);
constexpr DISK_GEOMETRY k360KMedium = Medium(win::F5_360_512, 40, 2, 9, 512);
constexpr DISK_GEOMETRY k320KMedium = Medium(win::F5_320_512, 40, 2, 8, 512);
constexpr DISK_GEOMETRY k320K1024Medium = Medium(win::F5_320_1024, 40, 2, 4, 1024);
constexpr DISK_GEOMETRY k180KMedium = Medium(win::F5_180_512, 40, 1, 9, 512);
constexpr DISK_GEOMETRY k160KMedium = Medium(win::F5_160_512, 40, 1, 8, 512);
constexpr DISK_GEOMETRY k720KMedium = Medium(win::F3_720_512, 80, 2, 9, 512);
constexpr DISK_GEOMETRY k2880KMedium = Medium(win::F3_2Pt88_512, 80, 2, 36, 512);

constexpr std::array k360KDrive{k160KMedium, k180KMedium, k320K1024Medium, k320KMedium,
                                k360KMedium};
constexpr std::array k1200KDrive{k160KMedium, k180KMedium, k320K1024Medium,
                                 k320KMedium, k360KMedium, k1200KMedium};
constexpr std::array k720KDrive{k720KMedium};
constexpr std::array k1440KDrive{k720KMedium, k1440KMedium};
constexpr std::array k2880KDrive{k720KMedium, k1440KMedium, k2880KMedium};

// The CMOS drive codes of the PC: 1 = 360K, 2 = 1.2M, 3 = 720K, 4 = 1.44M, 5 and 6 = 2.88M.
constexpr std::array<FloppyDriveType, 6> kCmosDriveTypes{
    FloppyDriveType::k360K,  FloppyDriveType::k1200K, FloppyDriveType::k720K,
    FloppyDriveType::k1440K, FloppyDriveType::k2880K, FloppyDriveType::k2880K};

// What DOS reports for each drive type: its device type and the BPB of its largest medium.
struct DosDefaults {
    std::uint8_t deviceType;
    std::uint8_t sectorsPerCluster;
    std::uint16_t rootEntries;
    std::uint8_t mediaDescriptor;
    std::uint16_t sectorsPerFat;
};
constexpr DosDefaults k360KDos{0, 2, 112, 0xFD, 2};
constexpr DosDefaults k1200KDos{1, 1, 224, 0xF9, 7};
constexpr DosDefaults k720KDos{2, 2, 112, 0xF9, 3};
constexpr DosDefaults k1440KDos{7, 1, 224, 0xF0, 9};
constexpr DosDefaults k2880KDos{9, 2, 240, 0xF0, 9};

constexpr std::uint16_t kAttributeChangeLine = 0x0002; // removable, reports disk changes
constexpr std::uint16_t kReservedSectors = 1;
constexpr std::uint8_t kFatCount = 2;

// A fixed disk in the geometry Windows reports for one: 255 heads of 63 sectors.
constexpr win::DWORD kFixedDiskHeads = 255;
constexpr win::DWORD kFixedDiskSectorsPerTrack = 63;

const DosDefaults& DosDefaultsOf(FloppyDriveType type) {
    switch (type) {
    case FloppyDriveType::k360K:
        return k360KDos;
    case FloppyDriveType::k1200K:
        return k1200KDos;
    case FloppyDriveType::k720K:
        return k720KDos;
    case FloppyDriveType::k1440K:
        return k1440KDos;
    case FloppyDriveType::k2880K:
        break;
    }
    return k2880KDos;
}

std::uint64_t MediumBytes(const DISK_GEOMETRY& medium) {
    return static_cast<std::uint64_t>(medium.Cylinders.QuadPart) * medium.TracksPerCylinder *
           medium.SectorsPerTrack * medium.BytesPerSector;
}

} // namespace

std::optional<FloppyDriveType> DriveTypeFromCmos(int cmos) {
    if (cmos < 1 || cmos > static_cast<int>(kCmosDriveTypes.size()))
        return std::nullopt;
    return kCmosDriveTypes[static_cast<std::size_t>(cmos - 1)];
}

std::span<const DISK_GEOMETRY> MediaTypesOf(FloppyDriveType type) {
    switch (type) {
    case FloppyDriveType::k360K:
        return k360KDrive;
    case FloppyDriveType::k1200K:
        return k1200KDrive;
    case FloppyDriveType::k720K:
        return k720KDrive;
    case FloppyDriveType::k1440K:
        return k1440KDrive;
    case FloppyDriveType::k2880K:
        break;
    }
    return k2880KDrive;
}

DISK_GEOMETRY FixedDiskGeometry(std::uint64_t bytes) {
    const std::uint64_t cylinderBytes =
        std::uint64_t{kFixedDiskHeads} * kFixedDiskSectorsPerTrack * kFloppySectorBytes;
    return Medium(win::FixedMedia, static_cast<std::int64_t>(bytes / cylinderBytes),
                  kFixedDiskHeads, kFixedDiskSectorsPerTrack, kFloppySectorBytes);
}

void FillDefaultDeviceParams(FloppyDriveType type, DeviceParams& params) {
    const DISK_GEOMETRY& largest = MediaTypesOf(type).back();
    const DosDefaults& dos = DosDefaultsOf(type);
    params.set8(DeviceParams::kDeviceType, dos.deviceType);
    params.set16(DeviceParams::kDeviceAttributes, kAttributeChangeLine);
    params.set16(DeviceParams::kCylinders, static_cast<std::uint16_t>(largest.Cylinders.QuadPart));
    params.set8(DeviceParams::kMediaType, 0);
    params.set16(DeviceParams::kBytesPerSector, static_cast<std::uint16_t>(largest.BytesPerSector));
    params.set8(DeviceParams::kSectorsPerCluster, dos.sectorsPerCluster);
    params.set16(DeviceParams::kReservedSectors, kReservedSectors);
    params.set8(DeviceParams::kFatCount, kFatCount);
    params.set16(DeviceParams::kRootEntries, dos.rootEntries);
    params.set16(DeviceParams::kTotalSectors,
                 static_cast<std::uint16_t>(MediumBytes(largest) / largest.BytesPerSector));
    params.set8(DeviceParams::kMediaDescriptor, dos.mediaDescriptor);
    params.set16(DeviceParams::kSectorsPerFat, dos.sectorsPerFat);
    params.set16(DeviceParams::kSectorsPerTrack,
                 static_cast<std::uint16_t>(largest.SectorsPerTrack));
    params.set16(DeviceParams::kHeads, static_cast<std::uint16_t>(largest.TracksPerCylinder));
    params.set32(DeviceParams::kHiddenSectors, 0);
    params.set32(DeviceParams::kHugeSectors, 0);
}

} // namespace platform::layer
