// SPDX-License-Identifier: GPL-2.0-or-later
// The guard against writing the wrong disk, attacked as an adversary would: paths swapped
// between the moments a job looks and writes, hard links, locks of every kind held by other
// processes, files that grow under a job, pseudo files. Real files, loop devices and processes;
// the loop device cases skip where this process cannot have one.
#include "platform/Devices.h"
#include "platform/Files.h"
#include "platform/ScopedHandle.h"
#include "platform/System.h"
#include "platform/linux/BackingHook.h"
#include "platform/linux/DeviceRegistry.h"
#include "platform/linux/VolumeDevice.h"
#include "support/CapturedLog.h"
#include "support/ContainerBuilder.h"
#include "support/LockHolder.h"
#include "support/LoopDevice.h"
#include "support/TempDir.h"
#include "support/VolumeDrive.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

using namespace win;
using platform::FileHandle;
using platform::layer::BackingMoment;
using platform::layer::ScopedBackingHook;

namespace {

constexpr std::size_t kDiskBytes = 1474560;
constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;
constexpr DWORD kCylinder = 18432;
constexpr std::uint8_t kBlank = 0x00;
constexpr std::uint8_t kOther = 0x33;
constexpr std::uint8_t kWritten = 0x77;

bool AllBytesAre(const std::string& path, std::uint8_t value) {
    const test::Bytes bytes = test::ReadFileBytes(path);
    return !bytes.empty() && std::ranges::all_of(bytes, [value](auto b) { return b == value; });
}

class BackingGuard : public testing::Test {
protected:
    std::string Disk(const std::string& name, std::size_t bytes, std::uint8_t value) {
        const std::string path = dir_.path(name);
        EXPECT_TRUE(test::WriteFileBytes(path, test::Bytes(bytes, value)));
        return path;
    }

    test::TempDir dir_;
    test::CapturedLog log_{dir_};
};

// checks that files of pseudo file systems are never taken for disks, whatever their size
TEST_F(BackingGuard, PseudoFilesAreNotDisks) {
    for (const char* path : {"/proc/self/comm", "/sys/kernel/uevent_seqnum"}) {
        SCOPED_TRACE(path);
        std::ifstream before(path);
        const std::string content{std::istreambuf_iterator<char>(before), {}};
        test::VolumeDrive drive(path);
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        EXPECT_FALSE(test::TakesHighDensity(test::MediaTypes(volume.get())));
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_ACCESS_DENIED});
        EXPECT_EQ(test::WriteCylinder(volume.get(), kWritten), DWORD{ERROR_ACCESS_DENIED});
        std::ifstream after(path);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), content);
    }
    EXPECT_NE(log_.text().find("pseudo file system"), std::string::npos);
}

// checks that what is written is what was opened and checked: a symlink swapped to a larger
// file at any later moment of the job changes nothing
TEST_F(BackingGuard, SymlinkSwappedAfterTheOpenChangesNothing) {
    for (const BackingMoment moment :
         {BackingMoment::Opened, BackingMoment::Claiming, BackingMoment::Writing}) {
        SCOPED_TRACE(static_cast<int>(moment));
        const std::string image = Disk("image.img", kDiskBytes, kBlank);
        const std::string large = Disk("large.img", 2 * kDiskBytes, kOther);
        const std::string link = dir_.path("drive");
        std::filesystem::remove(link);
        std::filesystem::create_symlink(image, link);
        ScopedBackingHook swap([&](BackingMoment now, const std::string&) {
            if (now != moment)
                return;
            std::filesystem::remove(link);
            std::filesystem::create_symlink(large, link);
        });
        test::VolumeDrive drive(link);
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
        EXPECT_EQ(test::WriteCylinder(volume.get(), kWritten), DWORD{ERROR_SUCCESS});
        volume.reset();
        EXPECT_EQ(std::filesystem::read_symlink(link), large) << "the swap happened";
        EXPECT_TRUE(AllBytesAre(large, kOther));
        EXPECT_EQ(test::ReadFileBytes(image)[kCylinder - 1], kWritten);
    }
}

// checks that a file another process holds with a lock of any kind is neither claimed nor
// written, and is once the lock is gone
TEST_F(BackingGuard, LockOfAnyKindKeepsTheJobOff) {
    struct Case {
        const char* name;
        std::optional<test::LockKind> kind; // nothing: a handle of this process's layer
    };
    const Case cases[] = {
        {"open-file-description write lock", test::LockKind::OpenFileWrite},
        {"open-file-description read lock", test::LockKind::OpenFileRead},
        {"POSIX lock", test::LockKind::Posix},
        {"flock", test::LockKind::Flock},
        {"exclusive handle", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string image = Disk("image.img", kDiskBytes, kBlank);
        test::VolumeDrive drive(image);
        FileHandle volume = test::VolumeDrive::Open();
        {
            std::optional<test::LockHolder> holder;
            FileHandle handle;
            if (c.kind) {
                holder.emplace(image, *c.kind);
                ASSERT_TRUE(*holder);
            } else {
                handle.reset(CreateFileA(image.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
                ASSERT_TRUE(handle);
            }
            EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME),
                      DWORD{ERROR_ACCESS_DENIED});
            EXPECT_EQ(test::WriteCylinder(volume.get(), kWritten), DWORD{ERROR_ACCESS_DENIED});
            EXPECT_TRUE(AllBytesAre(image, kBlank));
        }
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), DWORD{ERROR_SUCCESS});
        // While the job holds the disk, no other process gets a lock on it.
        EXPECT_FALSE(test::LockHolder(image, test::LockKind::OpenFileRead));
        EXPECT_EQ(test::WriteCylinder(volume.get(), kWritten), DWORD{ERROR_SUCCESS});
    }
    EXPECT_NE(log_.text().find("locked by"), std::string::npos);
}

// checks that the size is checked again under the claim, and that a change of size during the
// job stops it: nothing is written into a file that is no longer a 1.44 MB disk
TEST_F(BackingGuard, FileThatGrowsIsNotWritten) {
    struct Case {
        const char* name;
        int grownBeforeWrite; // the write before which the file grows; 0: before the lock
        DWORD lockError;
        int cylindersWritten;
    };
    const Case cases[] = {
        {"grown before the lock", 0, ERROR_ACCESS_DENIED, 0},
        {"grown between the lock and the first write", 1, ERROR_SUCCESS, 0},
        {"grown during the job", 3, ERROR_SUCCESS, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string image = Disk("image.img", kDiskBytes, kBlank);
        int writes = 0;
        ScopedBackingHook grow([&](BackingMoment now, const std::string&) {
            if (now == BackingMoment::Writing && ++writes == c.grownBeforeWrite)
                std::filesystem::resize_file(image, kTenMegabytes);
        });
        test::VolumeDrive drive(image);
        FileHandle volume = test::VolumeDrive::Open();
        ASSERT_TRUE(volume);
        if (c.grownBeforeWrite == 0)
            std::filesystem::resize_file(image, kTenMegabytes);
        EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME), c.lockError);
        int written = 0;
        DWORD error = ERROR_SUCCESS;
        while (written < 5 &&
               (error = test::WriteCylinder(volume.get(), kWritten)) == ERROR_SUCCESS)
            ++written;
        EXPECT_EQ(written, c.cylindersWritten);
        EXPECT_EQ(error,
                  DWORD{c.lockError == ERROR_SUCCESS ? ERROR_MEDIA_CHANGED : ERROR_ACCESS_DENIED});
        const test::Bytes bytes = test::ReadFileBytes(image);
        ASSERT_EQ(bytes.size(), kTenMegabytes);
        EXPECT_EQ(bytes[std::size_t{kCylinder} * c.cylindersWritten], kBlank);
        EXPECT_TRUE(
            std::all_of(bytes.begin() + kDiskBytes, bytes.end(), [](auto b) { return b == 0; }));
    }
}

// checks that an image file behind a loop device is refused under any name: a hard link, and
// one whose loop device is mounted
TEST_F(BackingGuard, LoopAttachedImageIsRefusedUnderAnyName) {
    for (const bool mounted : {false, true}) {
        SCOPED_TRACE(mounted ? "mounted" : "attached");
        const std::string image = Disk("image.img", kDiskBytes, kBlank);
        if (mounted && !test::MakeExt2(image))
            GTEST_SKIP() << "no mke2fs";
        test::LoopDevice loop(image);
        if (!loop)
            GTEST_SKIP() << "no loop device for this process";
        std::optional<test::Ext2Mount> mount;
        if (mounted) {
            mount.emplace(loop.path(), dir_.path("mnt"));
            if (!*mount)
                GTEST_SKIP() << "cannot mount ext2 here";
        }
        const std::string link = dir_.path("hardlink.img");
        std::filesystem::remove(link);
        std::filesystem::create_hard_link(image, link);
        {
            test::VolumeDrive drive(link);
            FileHandle volume = test::VolumeDrive::Open();
            ASSERT_TRUE(volume);
            EXPECT_EQ(test::VolumeRequest(volume.get(), FSCTL_LOCK_VOLUME),
                      DWORD{ERROR_ACCESS_DENIED});
            EXPECT_EQ(test::WriteCylinder(volume.get(), kWritten), DWORD{ERROR_ACCESS_DENIED});
        }
        mount.reset();
        std::filesystem::remove(link);
        // The file system keeps its first 1,024 bytes free; the write would have filled them.
        const test::Bytes after = test::ReadFileBytes(image);
        EXPECT_EQ(test::Bytes(after.begin(), after.begin() + 1024), test::Bytes(1024, kBlank));
    }
    EXPECT_NE(log_.text().find("attached to /dev/loop"), std::string::npos);
}

} // namespace
