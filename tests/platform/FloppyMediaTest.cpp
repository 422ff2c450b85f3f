// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/FloppyMedia.h"

#include <algorithm>
#include <gtest/gtest.h>

using platform::DeviceParams;
using platform::layer::FloppyDriveType;

namespace {

// checks the floppy driver's CMOS codes and that only a 3.5-inch HD or ED drive takes 1.44 MB
TEST(FloppyMedia, DriveTypesAndTheirHighDensityRecord) {
    struct Case {
        int cmos;
        bool known;
        bool takes1440K;
    };
    const Case cases[] = {{0, false, false}, {1, true, false},  {2, true, false},
                          {3, true, false},  {4, true, true},   {5, true, true},
                          {6, true, true},   {7, false, false}, {-1, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cmos);
        const auto type = platform::layer::DriveTypeFromCmos(c.cmos);
        ASSERT_EQ(type.has_value(), c.known);
        if (!type)
            continue;
        const auto media = platform::layer::MediaTypesOf(*type);
        const auto highDensity = std::ranges::find_if(
            media, [](const win::DISK_GEOMETRY& m) { return m.MediaType == win::F3_1Pt44_512; });
        ASSERT_EQ(highDensity != media.end(), c.takes1440K);
        if (c.takes1440K) {
            EXPECT_EQ(highDensity->Cylinders.QuadPart, 80);
            EXPECT_EQ(highDensity->TracksPerCylinder, 2u);
            EXPECT_EQ(highDensity->SectorsPerTrack, 18u);
            EXPECT_EQ(highDensity->BytesPerSector, 512u);
        }
    }
}

// checks the device parameters DOS reports for a 1.44 MB drive, field by field
TEST(FloppyMedia, DefaultParametersOfTheHighDensityDrive) {
    DeviceParams params;
    platform::layer::FillDefaultDeviceParams(FloppyDriveType::k1440K, params);
    EXPECT_EQ(params.get8(DeviceParams::kDeviceType), 7);
    EXPECT_EQ(params.get16(DeviceParams::kCylinders), 80);
    EXPECT_EQ(params.get16(DeviceParams::kBytesPerSector), 512);
    EXPECT_EQ(params.get8(DeviceParams::kSectorsPerCluster), 1);
    EXPECT_EQ(params.get16(DeviceParams::kReservedSectors), 1);
    EXPECT_EQ(params.get8(DeviceParams::kFatCount), 2);
    EXPECT_EQ(params.get16(DeviceParams::kRootEntries), 224);
    EXPECT_EQ(params.get16(DeviceParams::kTotalSectors), 2880);
    EXPECT_EQ(params.get8(DeviceParams::kMediaDescriptor), 0xF0);
    EXPECT_EQ(params.get16(DeviceParams::kSectorsPerFat), 9);
    EXPECT_EQ(params.get16(DeviceParams::kSectorsPerTrack), 18);
    EXPECT_EQ(params.get16(DeviceParams::kHeads), 2);

    platform::layer::FillDefaultDeviceParams(FloppyDriveType::k1200K, params);
    EXPECT_EQ(params.get8(DeviceParams::kDeviceType), 1);
    EXPECT_EQ(params.get16(DeviceParams::kTotalSectors), 2400);
}

// checks that the DOS layouts store little-endian at unaligned offsets, as DISKIO needs
TEST(FloppyMedia, DosLayoutIsLittleEndianWithoutGaps) {
    platform::DiskIoPacket packet;
    packet.set32(platform::DiskIoPacket::kStartSector, 0x11223344);
    packet.set16(platform::DiskIoPacket::kSectors, 0x5566);
    packet.set32(platform::DiskIoPacket::kBuffer, 0x778899AA);
    const std::array<std::uint8_t, 10> expected{0x44, 0x33, 0x22, 0x11, 0x66,
                                                0x55, 0xAA, 0x99, 0x88, 0x77};
    EXPECT_EQ(packet.bytes, expected);
    EXPECT_EQ(packet.get32(platform::DiskIoPacket::kBuffer), 0x778899AAu);
}

} // namespace
