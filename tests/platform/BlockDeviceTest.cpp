// SPDX-License-Identifier: GPL-2.0-or-later
// Real block devices as drive backings: needs root and the loop driver, else the tests skip.
#include "platform/Devices.h"
#include "platform/Files.h"
#include "platform/ScopedHandle.h"
#include "platform/System.h"
#include "platform/linux/BackingHook.h"
#include "platform/linux/DeviceRegistry.h"
#include "platform/linux/ScopedDescriptor.h"
#include "platform/linux/VolumeDevice.h"
#include "support/CapturedLog.h"
#include "support/ContainerBuilder.h"
#include "support/LoopDevice.h"
#include "support/TempDir.h"
#include "support/VolumeDrive.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace win;
using platform::FileHandle;

namespace {

constexpr std::size_t kDiskBytes = 1474560;
constexpr DWORD kCylinder = 18432;

// The 1.44 MB medium when the volume lists it, else the first record's medium (Unknown when
// the request fails).
MEDIA_TYPE FirstMediaType(HANDLE volume) {
    const std::vector<DISK_GEOMETRY> records = test::MediaTypes(volume);
    if (records.empty())
        return Unknown;
    return test::TakesHighDensity(records) ? F3_1Pt44_512 : records.front().MediaType;
}

// The first byte of cylinder 0 as a read through the volume gives it; -1 when the read fails.
int ReadFirstByte(HANDLE volume) {
    const test::CylinderBuffer data(0);
    DWORD got = 0;
    const bool done = SetFilePointer(volume, 0, nullptr, FILE_BEGIN) == 0 &&
                      ReadFile(volume, data.get(), kCylinder, &got, nullptr) && got == kCylinder;
    return done ? data.get()[0] : -1;
}

// checks that a whole block device of one 1.44 MB disk (a USB floppy) is a floppy and is written
TEST(BlockDevice, FloppySizedDeviceIsWritten) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string file = dir.path("usb.img");
    ASSERT_TRUE(test::WriteFileBytes(file, test::Bytes(kDiskBytes, 0)));
    {
        test::LoopDevice loop(file);
        if (!loop)
            GTEST_SKIP() << "no loop device for this process";
        test::VolumeDrive drive(loop.path());
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        EXPECT_EQ(FirstMediaType(volume.get()), F3_1Pt44_512);
        ASSERT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_DISMOUNT_VOLUME), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_UNLOCK_VOLUME), DWORD{ERROR_SUCCESS});
    }
    const test::Bytes disk = test::ReadFileBytes(file);
    EXPECT_EQ(disk[0], 0x77);
    EXPECT_EQ(disk[kCylinder - 1], 0x77);
    EXPECT_EQ(disk[kCylinder], 0x00);
}

// checks the guard on real devices: a larger device, a mounted one and an image file behind a
// loop device are never written
TEST(BlockDevice, InUseOrLargerDevicesAreNeverWritten) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string large = dir.path("large.img");
    ASSERT_TRUE(test::WriteFileBytes(large, test::Bytes(4 * kDiskBytes, 0x33)));
    test::LoopDevice largeLoop(large);
    if (!largeLoop)
        GTEST_SKIP() << "no loop device for this process";
    {
        SCOPED_TRACE("larger than a floppy");
        test::VolumeDrive drive(largeLoop.path());
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        EXPECT_EQ(FirstMediaType(volume.get()), FixedMedia);
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_ACCESS_DENIED});
        EXPECT_EQ(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_ACCESS_DENIED});
    }
    {
        SCOPED_TRACE("image file behind a loop device");
        const std::string image = dir.path("attached.img");
        ASSERT_TRUE(test::WriteFileBytes(image, test::Bytes(kDiskBytes, 0x33)));
        test::LoopDevice loop(image);
        ASSERT_TRUE(loop);
        test::VolumeDrive drive(image);
        FileHandle volume = test::VolumeDrive::Open();
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_ACCESS_DENIED});
        EXPECT_NE(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::ReadFileBytes(image), test::Bytes(kDiskBytes, 0x33));
    }
    {
        SCOPED_TRACE("mounted file system");
        const std::string image = dir.path("ext2.img");
        ASSERT_TRUE(test::WriteFileBytes(image, test::Bytes(kDiskBytes, 0)));
        if (!test::MakeExt2(image))
            GTEST_SKIP() << "no mke2fs";
        test::LoopDevice loop(image);
        ASSERT_TRUE(loop);
        test::Ext2Mount mounted(loop.path(), dir.path("mnt"));
        if (!mounted)
            GTEST_SKIP() << "cannot mount ext2 here";
        test::VolumeDrive drive(loop.path());
        FileHandle volume = test::VolumeDrive::Open();
        EXPECT_EQ(FirstMediaType(volume.get()), F3_1Pt44_512) << "its size is a floppy's";
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_ACCESS_DENIED});
        EXPECT_NE(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_SUCCESS});
        volume.reset();
        // The file system keeps its first 1,024 bytes free; the write would have filled them.
        const test::Bytes after = test::ReadFileBytes(image);
        EXPECT_EQ(test::Bytes(after.begin(), after.begin() + 1024), test::Bytes(1024, 0));
    }
    EXPECT_EQ(test::ReadFileBytes(large), test::Bytes(4 * kDiskBytes, 0x33));
}

// checks the write-protect tab: the job's claim is granted, its first write fails with the
// write-protect error and the disk stays as it was
TEST(BlockDevice, WriteProtectedDiskIsTheWriteProtectError) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string file = dir.path("protected.img");
    ASSERT_TRUE(test::WriteFileBytes(file, test::Bytes(kDiskBytes, 0x11)));
    {
        test::LoopDevice loop(file, {.readOnly = true});
        if (!loop)
            GTEST_SKIP() << "no loop device for this process";
        test::VolumeDrive drive(loop.path());
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        EXPECT_EQ(FirstMediaType(volume.get()), F3_1Pt44_512);
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_WRITE_PROTECT});
    }
    EXPECT_EQ(test::ReadFileBytes(file), test::Bytes(kDiskBytes, 0x11));
}

// checks a disk that is not the 1.44 MB disk the drive was found with: put in before the job it
// is refused at the first write, changed during the job it stops the job
TEST(BlockDevice, OtherDiskIsNeverWritten) {
    constexpr std::size_t k720KBytes = 737280;
    for (const int changedBefore : {1, 2}) {
        SCOPED_TRACE(changedBefore == 1 ? "720 KB disk before the job" : "disk changed in the job");
        test::TempDir dir;
        const test::CapturedLog reasons(dir); // the layer's log stays in the folder
        const std::string file = dir.path("disk.img");
        ASSERT_TRUE(test::WriteFileBytes(file, test::Bytes(kDiskBytes, 0)));
        test::LoopDevice loop(file);
        if (!loop)
            GTEST_SKIP() << "no loop device for this process";
        int writes = 0;
        platform::layer::ScopedBackingHook change([&](platform::layer::BackingMoment moment,
                                                      const std::string&) {
            if (moment == platform::layer::BackingMoment::Writing && ++writes == changedBefore) {
                std::filesystem::resize_file(file, k720KBytes);
                ASSERT_TRUE(loop.takeNewSize());
            }
        });
        test::VolumeDrive drive(loop.path());
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::WriteCylinder(volume.get(), 0x77),
                  changedBefore == 1 ? ERROR_WRONG_DISK : ERROR_SUCCESS);
        EXPECT_EQ(test::WriteCylinder(volume.get(), 0x77),
                  changedBefore == 1 ? ERROR_WRONG_DISK : ERROR_MEDIA_CHANGED);
        volume.reset();
        const test::Bytes disk = test::ReadFileBytes(file);
        EXPECT_EQ(disk[kCylinder], 0) << "the second cylinder was never written";
    }
}

// checks that a read through the volume comes from the disk, not from a cache: bytes changed on
// the disk behind the device's back are what the read gives, with direct I/O (512-byte sectors)
// and through the cache (4,096-byte sectors, which do not divide a cylinder)
TEST(BlockDevice, ReadsComeFromTheDisk) {
    for (const unsigned sectorBytes : {512u, 4096u}) {
        SCOPED_TRACE(sectorBytes);
        test::TempDir dir;
        const test::CapturedLog reasons(dir); // the layer's log stays in the folder
        const std::string file = dir.path("disk.img");
        ASSERT_TRUE(test::WriteFileBytes(file, test::Bytes(kDiskBytes, 0)));
        test::LoopDevice loop(file, {.sectorBytes = sectorBytes});
        if (!loop)
            GTEST_SKIP() << "no loop device for this process";
        test::VolumeDrive drive(loop.path());
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
        ASSERT_EQ(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(ReadFirstByte(volume.get()), 0x77);
        {
            const platform::layer::ScopedDescriptor behind(
                ::open(file.c_str(), O_WRONLY | O_CLOEXEC));
            const std::uint8_t changed = 0x55;
            ASSERT_EQ(pwrite(behind.get(), &changed, 1, 0), 1);
            fsync(behind.get());
        }
        EXPECT_EQ(ReadFirstByte(volume.get()), 0x55);
    }
}

// checks that a symlink to a larger block device is no drive, and that one swapped to it under a
// job changes nothing: the 1.44 MB device that was opened is written
TEST(BlockDevice, LargerDeviceBehindASymlinkIsNeverWritten) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string small = dir.path("small.img");
    const std::string large = dir.path("large.img");
    ASSERT_TRUE(test::WriteFileBytes(small, test::Bytes(kDiskBytes, 0)));
    ASSERT_TRUE(test::WriteFileBytes(large, test::Bytes(4 * kDiskBytes, 0x33)));
    {
        test::LoopDevice smallLoop(small);
        test::LoopDevice largeLoop(large);
        if (!smallLoop || !largeLoop)
            GTEST_SKIP() << "no loop devices for this process";
        const std::string link = dir.path("drive");
        std::filesystem::create_symlink(largeLoop.path(), link);
        {
            test::VolumeDrive drive(link);
            FileHandle volume = test::VolumeDrive::Open();
            EXPECT_EQ(FirstMediaType(volume.get()), FixedMedia);
            EXPECT_NE(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
            EXPECT_NE(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_SUCCESS});
        }
        std::filesystem::remove(link);
        std::filesystem::create_symlink(smallLoop.path(), link);
        platform::layer::ScopedBackingHook swap(
            [&](platform::layer::BackingMoment moment, const std::string&) {
                if (moment != platform::layer::BackingMoment::Claiming)
                    return;
                std::filesystem::remove(link);
                std::filesystem::create_symlink(largeLoop.path(), link);
            });
        test::VolumeDrive drive(link);
        FileHandle volume = test::VolumeDrive::Open();
        EXPECT_EQ(FirstMediaType(volume.get()), F3_1Pt44_512);
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(std::filesystem::read_symlink(link), largeLoop.path()) << "the swap happened";
    }
    EXPECT_EQ(test::ReadFileBytes(large), test::Bytes(4 * kDiskBytes, 0x33));
    EXPECT_EQ(test::ReadFileBytes(small)[0], 0x77);
}

} // namespace
