// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/VolumeDevice.h"

#include "platform/Devices.h"
#include "platform/Files.h"
#include "platform/ScopedHandle.h"
#include "platform/System.h"
#include "platform/linux/DeviceRegistry.h"
#include "platform/linux/FloppyDriveScan.h"
#include "support/CapturedLog.h"
#include "support/ContainerBuilder.h"
#include "support/LoopDevice.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/TmpfsMount.h"
#include "support/VolumeDrive.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace win;
using platform::FileHandle;

namespace {

constexpr std::size_t kDiskBytes = 1474560;
constexpr DWORD kCylinder = 18432;
constexpr DWORD kVolumeAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kUnbuffered = FILE_FLAG_NO_BUFFERING;

bool Request(HANDLE volume, DWORD code) {
    return test::VolumeRequest(volume, code) == ERROR_SUCCESS;
}

using Cylinder = test::CylinderBuffer;
using test::MediaTypes;
using test::TakesHighDensity;

// Writes the bytes and reports the outcome as (success, last error on failure).
std::pair<bool, DWORD> Write(HANDLE volume, const void* data, DWORD size) {
    DWORD written = 0;
    if (WriteFile(volume, data, size, &written, nullptr))
        return {true, ERROR_SUCCESS};
    return {false, GetLastError()};
}

// checks what each kind of backing answers: media types, lock and write, and that what is not
// a 1.44 MB floppy is never written
TEST(VolumeDevice, EachBackingAnswersAsWhatItIs) {
    struct Case {
        const char* name;
        std::optional<std::size_t> fileBytes; // nothing: the file does not exist
        bool highDensity;
        DWORD lockError;  // ERROR_SUCCESS: the lock is granted
        DWORD writeError; // ERROR_SUCCESS: the write goes out
    };
    const Case cases[] = {
        {"1.44 MB image", kDiskBytes, true, ERROR_SUCCESS, ERROR_SUCCESS},
        {"empty image", 0, true, ERROR_SUCCESS, ERROR_SUCCESS},
        {"image one sector too large", kDiskBytes + 512, false, ERROR_ACCESS_DENIED,
         ERROR_ACCESS_DENIED},
        {"hard disk sized file", 8 * kDiskBytes, false, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
        {"no disk in the drive", std::nullopt, true, ERROR_SUCCESS, ERROR_NOT_READY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const test::CapturedLog reasons(dir); // the layer's log stays in the folder
        const std::string path = dir.path("disk.img");
        if (c.fileBytes) {
            ASSERT_TRUE(test::WriteFileBytes(path, test::Bytes(*c.fileBytes, 0xA5)));
        }
        test::VolumeDrive drive(path);
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        const auto media = MediaTypes(volume.get());
        ASSERT_FALSE(media.empty());
        EXPECT_EQ(TakesHighDensity(media), c.highDensity);
        if (!c.highDensity) {
            EXPECT_EQ(media.size(), 1u);
            EXPECT_EQ(media[0].MediaType, FixedMedia);
        }
        EXPECT_EQ(Request(volume.get(), FSCTL_LOCK_VOLUME), c.lockError == ERROR_SUCCESS);
        if (c.lockError != ERROR_SUCCESS) {
            EXPECT_EQ(GetLastError(), c.lockError);
        }
        const Cylinder data(0x11);
        const auto [written, error] = Write(volume.get(), data.get(), kCylinder);
        EXPECT_EQ(written, c.writeError == ERROR_SUCCESS);
        EXPECT_EQ(error, c.writeError);
        volume.reset();
        if (!c.fileBytes) {
            EXPECT_FALSE(std::filesystem::exists(path)) << "a drive without disk creates none";
        } else if (!c.highDensity) {
            EXPECT_EQ(test::ReadFileBytes(path), test::Bytes(*c.fileBytes, 0xA5));
        }
    }
}

// checks that the lock is exclusive between handles and processes' opens of the same file
TEST(VolumeDevice, LockIsExclusive) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string path = dir.path("disk.img");
    ASSERT_TRUE(test::WriteFileBytes(path, test::Bytes(kDiskBytes, 0)));
    test::VolumeDrive drive(path);
    FileHandle first = test::VolumeDrive::Open();
    FileHandle second = test::VolumeDrive::Open();
    ASSERT_TRUE(Request(first.get(), FSCTL_LOCK_VOLUME));
    EXPECT_TRUE(Request(first.get(), FSCTL_LOCK_VOLUME)) << "locking again changes nothing";
    EXPECT_FALSE(Request(second.get(), FSCTL_LOCK_VOLUME));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    const Cylinder data(0x22);
    EXPECT_EQ(Write(second.get(), data.get(), kCylinder),
              std::make_pair(false, DWORD{ERROR_ACCESS_DENIED}))
        << "another handle's lock keeps a write off the disk";
    {
        // A file handle that writes takes the file exclusively too.
        const FileHandle writer(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer) << "the locked disk is not opened for writing elsewhere";
    }
    ASSERT_TRUE(Request(first.get(), FSCTL_UNLOCK_VOLUME));
    EXPECT_FALSE(Request(first.get(), FSCTL_UNLOCK_VOLUME));
    EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
    EXPECT_TRUE(Request(second.get(), FSCTL_LOCK_VOLUME));
    second.reset();
    {
        const FileHandle writer(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer) << "closing the handle released its lock";
        EXPECT_FALSE(Request(first.get(), FSCTL_LOCK_VOLUME))
            << "a file open for writing elsewhere keeps the lock off";
    }
    EXPECT_TRUE(Request(first.get(), FSCTL_LOCK_VOLUME));
}

// checks the write rules of a volume handle: whole sectors, aligned buffers without buffering,
// nothing beyond the disk, the handle's position advancing
TEST(VolumeDevice, WritesWholeSectorsAtThePosition) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string path = dir.path("disk.img");
    ASSERT_TRUE(test::WriteFileBytes(path, test::Bytes(kDiskBytes, 0)));
    test::VolumeDrive drive(path);
    const Cylinder first(0x31);
    const Cylinder second(0x32);
    {
        FileHandle volume = test::VolumeDrive::Open();
        EXPECT_EQ(Write(volume.get(), first.get(), 100),
                  std::make_pair(false, DWORD{ERROR_INVALID_PARAMETER}));
        EXPECT_EQ(Write(volume.get(), first.get() + 8, 512),
                  std::make_pair(false, DWORD{ERROR_INVALID_PARAMETER}))
            << "an unbuffered handle takes sector-aligned buffers only";
        EXPECT_TRUE(Write(volume.get(), first.get(), kCylinder).first);
        EXPECT_TRUE(Write(volume.get(), second.get(), kCylinder).first);
        EXPECT_TRUE(Request(volume.get(), FSCTL_DISMOUNT_VOLUME));
    }
    {
        FileHandle buffered = test::VolumeDrive::Open('A', kVolumeAccess, 0);
        EXPECT_TRUE(Write(buffered.get(), first.get() + 8, 512).first);
        FileHandle readOnly = test::VolumeDrive::Open('A', GENERIC_READ, kUnbuffered);
        EXPECT_EQ(Write(readOnly.get(), first.get(), 512),
                  std::make_pair(false, DWORD{ERROR_ACCESS_DENIED}));
    }
    const test::Bytes disk = test::ReadFileBytes(path);
    EXPECT_EQ(disk[0], 0x31) << "the buffered handle wrote at its own position 0";
    EXPECT_EQ(disk[kCylinder - 1], 0x31);
    EXPECT_EQ(disk[kCylinder], 0x32);
    EXPECT_EQ(disk[2 * kCylinder], 0x00);

    FileHandle volume = test::VolumeDrive::Open();
    for (DWORD cylinder = 0; cylinder < 80; ++cylinder)
        ASSERT_TRUE(Write(volume.get(), first.get(), kCylinder).first);
    EXPECT_EQ(Write(volume.get(), first.get(), 512),
              std::make_pair(false, DWORD{ERROR_SECTOR_NOT_FOUND}));
    EXPECT_EQ(std::filesystem::file_size(path), kDiskBytes);
}

// checks that a file system without direct I/O (tmpfs) is still written, through the cache
TEST(VolumeDevice, TmpfsImageIsWrittenThroughTheCache) {
    const std::filesystem::path shm = "/dev/shm";
    if (!std::filesystem::is_directory(shm))
        GTEST_SKIP() << "no tmpfs at /dev/shm";
    const std::string path = (shm / ("bootmedia-volume-" + std::to_string(getpid()))).string();
    ASSERT_TRUE(test::WriteFileBytes(path, test::Bytes(kDiskBytes, 0)));
    {
        test::VolumeDrive drive(path);
        FileHandle volume = test::VolumeDrive::Open();
        const Cylinder data(0x44);
        EXPECT_TRUE(Write(volume.get(), data.get(), kCylinder).first);
        EXPECT_TRUE(Request(volume.get(), FSCTL_DISMOUNT_VOLUME));
    }
    EXPECT_EQ(test::ReadFileBytes(path)[kCylinder - 1], 0x44);
    std::filesystem::remove(path);
}

// checks that an image on a read-only file system without direct I/O is still a drive, whose
// disk is write-protected (the kernel may refuse the write access before O_DIRECT)
TEST(VolumeDevice, ReadOnlyTmpfsImageIsAWriteProtectedDisk) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir);
    const test::TmpfsMount mount(dir.path("ro"), "size=2m");
    if (!mount)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const std::string path = dir.path("ro/a.img");
    ASSERT_TRUE(test::WriteFileBytes(path, test::Bytes(kDiskBytes, 0)));
    ASSERT_TRUE(mount.makeReadOnly());
    test::VolumeDrive drive(path);
    FileHandle volume = test::VolumeDrive::Open();
    ASSERT_TRUE(volume) << "error " << GetLastError();
    EXPECT_TRUE(TakesHighDensity(MediaTypes(volume.get())));
    EXPECT_EQ(test::WriteCylinder(volume.get(), 0x77), DWORD{ERROR_WRITE_PROTECT});
}

// checks the environment's mapping of A: and B: onto backings
TEST(VolumeDevice, EnvironmentMapsTheDrives) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string path = dir.path("a.img");
    ASSERT_TRUE(test::WriteFileBytes(path, test::Bytes(kDiskBytes, 0)));
    {
        test::ScopedEnv drive("BOOTMEDIA_DRIVE_A", path.c_str());
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        EXPECT_TRUE(TakesHighDensity(MediaTypes(volume.get())));
    }
    {
        test::ScopedEnv drive("BOOTMEDIA_DRIVE_A", "");
        EXPECT_FALSE(test::VolumeDrive::Open());
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    }
    if (platform::layer::FindFloppyDrives().empty()) {
        test::ScopedEnv drive("BOOTMEDIA_DRIVE_A", nullptr);
        EXPECT_FALSE(test::VolumeDrive::Open())
            << "without a floppy drive, an unset variable is none";
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    }
}

// checks that a block device of one 1.44 MB disk that is not hardware (a loop device, as an
// emulator's image may be) is never taken for a floppy drive of the machine
TEST(FloppyDriveScan, LoopDevicesAreNoFloppyDrives) {
    test::TempDir dir;
    const test::CapturedLog reasons(dir); // the layer's log stays in the folder
    const std::string image = dir.path("disk.img");
    ASSERT_TRUE(test::WriteFileBytes(image, test::Bytes(kDiskBytes, 0)));
    const test::LoopDevice loop(image);
    if (!loop)
        GTEST_SKIP() << "no loop device for this process";
    const auto found = platform::layer::FindFloppyDrives();
    EXPECT_EQ(std::ranges::find(found, loop.path()), found.end());
    for (const std::string& drive : found)
        EXPECT_TRUE(drive.starts_with("/dev/")) << drive;
}

} // namespace
