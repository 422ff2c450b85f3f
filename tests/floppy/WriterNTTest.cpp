// SPDX-License-Identifier: GPL-2.0-or-later
#include "FloppyTestbed.h"
#include "app/JobState.h"
#include "floppy/ExtentScan.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWriter.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/ScopedHandle.h"
#include "support/LoopDevice.h"
#include "support/ProcessState.h"
#include "support/ScriptedDevices.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace floppytest {
namespace {

class WriterNT : public FloppyTest {
protected:
    // What the dialog does before a job: detect mode at start-up, select mode for entry 0.
    void SelectDriveA() {
        FloppyWriter writer;
        ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 1);
        ASSERT_EQ(writer.DetectFloppyDrives(false, 0), 1);
    }

    // The one error box a failed job shows, from the worker thread, without owner.
    void ExpectOnlyErrorBox(const char* text) {
        ASSERT_EQ(boxes_.count(), 1u);
        const test::RecordedBox box = boxes_.at(0);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, kCaption);
        EXPECT_EQ(box.style, win::MB_ICONERROR);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_NE(box.thread, std::this_thread::get_id());
    }

    // A job on the block device, which is in use: the lock is refused and the job cancelled.
    void ExpectRefusedAsInUse(const std::string& device) {
        auto a = MountImageDrive('A', device);
        SelectDriveA();
        RunWorker();
        ExpectOnlyErrorBox(kLockError);
        EXPECT_TRUE(JobState.cancelRequested);
    }

    static void ExpectJobOver() {
        EXPECT_FALSE(JobState.busy);
        EXPECT_EQ(JobState.progress, 0);
    }

    // The disk holds cylinders 0 .. written - 1 of image and nothing else.
    static void ExpectDisk(const std::string& disk, const test::Bytes& image,
                           std::uint32_t written) {
        const test::Bytes bytes = test::ReadFileBytes(disk);
        ASSERT_EQ(bytes.size(), kImageBytes);
        for (std::uint32_t cylinder = 0; cylinder < 80; ++cylinder) {
            SCOPED_TRACE(cylinder);
            const auto onDisk = CylinderOf(bytes, cylinder);
            if (cylinder < written)
                EXPECT_TRUE(std::ranges::equal(onDisk, CylinderOf(image, cylinder)));
            else
                EXPECT_TRUE(
                    std::ranges::all_of(onDisk, [](std::uint8_t b) { return b == kUntouched; }));
        }
    }

    std::unique_ptr<platform::layer::ScopedDevice> noB_ = MountNoDrive('B');
};

// checks the sample container end to end: the scan's cylinders on the disk, the rest untouched
TEST_F(WriterNT, WritesTheSampleImage) {
    const test::Bytes image = OpenSampleContainer();
    if (image.empty())
        GTEST_SKIP() << "no sample container";
    const std::int32_t expected = FindLastUsedCylinder();
    const std::string disk = BlankDisk("a.img");
    auto a = MountImageDrive('A', disk);
    SelectDriveA();
    RunWorker();
    EXPECT_EQ(JobState.cylinderCount, expected);
    EXPECT_FALSE(JobState.failed);
    EXPECT_FALSE(JobState.cancelRequested);
    ExpectJobOver();
    EXPECT_EQ(boxes_.count(), 0u);
    ExpectDisk(disk, image, static_cast<std::uint32_t>(expected));
}

// checks a whole job on a real image drive: the requests in order and the cylinders written
TEST_F(WriterNT, LocksWritesDismountsUnlocks) {
    const test::Bytes image = BootImage(12);
    OpenContainer(image);
    const std::string disk = BlankDisk("a.img");
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume('A', disk, {}, log);
    SelectDriveA();
    const std::size_t before = log->requestsSoFar().size();
    JobState.floppyJobStarting = true;
    RunWorker();
    EXPECT_FALSE(JobState.floppyJobStarting) << "the writer took the job";
    const auto requests = log->requestsSoFar();
    EXPECT_EQ(std::vector(requests.begin() + static_cast<std::ptrdiff_t>(before), requests.end()),
              (std::vector<win::DWORD>{win::FSCTL_LOCK_VOLUME, win::FSCTL_DISMOUNT_VOLUME,
                                       win::FSCTL_UNLOCK_VOLUME}));
    EXPECT_EQ(log->writes, 13);
    EXPECT_EQ(log->reads, 13) << "each cylinder is read back";
    EXPECT_EQ(JobState.cylinderCount, 13);
    ExpectJobOver();
    ExpectDisk(disk, image, 13);
    EXPECT_TRUE(IsOpenHandle(FloppyDevice.ntVolumeHandle)) << "the monitor closes it";
}

// checks that each cylinder's index is published after it is written, and not before
TEST_F(WriterNT, PublishesTheIndexOfEachCylinderWritten) {
    OpenContainer(BootImage(5));
    std::vector<std::int32_t> progressBeforeWrite;
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume(
        'A', BlankDisk("a.img"),
        BeforeWrite([&](int) { progressBeforeWrite.push_back(JobState.progress); }), log);
    SelectDriveA();
    RunWorker();
    EXPECT_EQ(progressBeforeWrite, (std::vector<std::int32_t>{0, 0, 1, 2, 3, 4}));
    ExpectJobOver();
}

// checks an image of one cylinder: exactly one is written and progress never leaves 0
TEST_F(WriterNT, OneCylinderJob) {
    const test::Bytes image = BootImage(0);
    OpenContainer(image);
    const std::string disk = BlankDisk("a.img");
    auto a = MountImageDrive('A', disk);
    SelectDriveA();
    const JobTrace trace = RunWorker();
    EXPECT_EQ(JobState.cylinderCount, 1);
    EXPECT_EQ(trace.highestProgress, 0);
    ExpectJobOver();
    ExpectDisk(disk, image, 1);
}

// checks that a cancel request seen after cylinder 3 stops the job with cylinders 0 to 3
TEST_F(WriterNT, CancelStopsAfterTheCurrentCylinder) {
    const test::Bytes image = BootImage(20);
    OpenContainer(image);
    const std::string disk = BlankDisk("a.img");
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume('A', disk, BeforeWrite([](int n) {
                                     if (n == 4)
                                         JobState.cancelRequested = true;
                                 }),
                                 log);
    SelectDriveA();
    RunWorker();
    EXPECT_TRUE(JobState.cancelRequested);
    EXPECT_FALSE(JobState.failed);
    EXPECT_EQ(boxes_.count(), 0u);
    ExpectJobOver();
    ExpectDisk(disk, image, 4);
}

// checks every failure: its message, the flags it leaves and what is on the disk
TEST_F(WriterNT, Failures) {
    struct Case {
        const char* name;
        VolumeScript script;
        std::uint32_t imageBytesInFile;
        const char* message;
        bool failed;
        bool cancelled;
        std::uint32_t cylindersOnDisk;
        bool dismounted;
    };
    const Case cases[] = {
        {"lock refused", RefuseLock(), kImageBytes, kLockError, false, true, 0, false},
        {"third write fails", FailWrite(3), kImageBytes, kWriteError, true, false, 2, true},
        {"container ends inside cylinder 5",
         {},
         5 * kCylinderBytes + 100,
         kReadError,
         true,
         false,
         5,
         true},
        {"first cylinder unreadable", {}, 0, kReadError, true, false, 0, true},
        {"flush at dismount fails", FailDismount(), kImageBytes, kWriteError, true, false, 21,
         true},
    };
    const test::Bytes image = BootImage(20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ResetProcessState();
        test::MessageBoxRecorder boxes;
        OpenContainer(image, c.imageBytesInFile);
        const std::string disk = BlankDisk("a.img");
        auto log = std::make_shared<DeviceLog>();
        auto a = MountScriptedVolume('A', disk, c.script, log);
        SelectDriveA();
        RunWorker();
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.at(0).text, c.message);
        EXPECT_EQ(boxes.at(0).caption, kCaption);
        EXPECT_EQ(boxes.at(0).style, win::MB_ICONERROR);
        EXPECT_EQ(boxes.at(0).owner, nullptr);
        EXPECT_EQ(JobState.failed, c.failed);
        EXPECT_EQ(JobState.cancelRequested, c.cancelled);
        ExpectJobOver();
        ExpectDisk(disk, image, c.cylindersOnDisk);
        const auto requests = log->requestsSoFar();
        const std::ptrdiff_t ends = c.dismounted ? 1 : 0;
        EXPECT_EQ(std::ranges::count(requests, win::FSCTL_DISMOUNT_VOLUME), ends);
        EXPECT_EQ(std::ranges::count(requests, win::FSCTL_UNLOCK_VOLUME), ends);
        CloseResourceFile(JobState.resourceFile.exchange(nullptr));
    }
}

// checks that a cylinder the disk does not give back as written fails the job at that cylinder:
// a write the drive lost while reporting success, and a read-back with other bytes
TEST_F(WriterNT, CylinderThatDoesNotReadBackIsAFailedWrite) {
    struct Case {
        const char* name;
        VolumeScript script;
        std::uint32_t cylindersOnDisk; // written as the image has them
    };
    const Case cases[] = {
        {"third write lost", LoseWrite(3), 2},
        {"third read-back differs", CorruptRead(3), 3},
    };
    const test::Bytes image = BootImage(20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ResetProcessState();
        test::MessageBoxRecorder boxes;
        OpenContainer(image);
        const std::string disk = BlankDisk("a.img");
        auto log = std::make_shared<DeviceLog>();
        auto a = MountScriptedVolume('A', disk, c.script, log);
        SelectDriveA();
        const JobTrace trace = RunWorker();
        ASSERT_EQ(boxes.count(), 1u);
        EXPECT_EQ(boxes.at(0).text, kWriteError);
        EXPECT_TRUE(JobState.failed);
        EXPECT_LE(trace.highestProgress, 1) << "the third cylinder never counted";
        EXPECT_EQ(log->writes, 3);
        ExpectJobOver();
        ExpectDisk(disk, image, c.cylindersOnDisk);
        CloseResourceFile(JobState.resourceFile.exchange(nullptr));
    }
}

// checks that a drive whose volume did not open in select mode fails at the lock
TEST_F(WriterNT, DriveThatDidNotOpenFailsAtTheLock) {
    OpenContainer(BootImage(3));
    const std::string disk = BlankDisk("a.img");
    {
        auto a = MountImageDrive('A', disk);
        FloppyWriter writer;
        ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 1);
    }
    auto gone = MountNoDrive('A');
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(false, 0), 0);
    RunWorker();
    ExpectOnlyErrorBox(kLockError);
    EXPECT_TRUE(JobState.cancelRequested);
    EXPECT_FALSE(JobState.failed);
    ExpectJobOver();
    ExpectDisk(disk, BootImage(3), 0);
}

// checks that another handle's lock on the same real drive keeps the job off the disk
TEST_F(WriterNT, VolumeLockedElsewhereIsNotWritten) {
    OpenContainer(BootImage(3));
    const std::string disk = BlankDisk("a.img");
    auto a = MountImageDrive('A', disk);
    SelectDriveA();
    const platform::FileHandle other(win::CreateFileA(
        "\\\\.\\A:", win::GENERIC_READ | win::GENERIC_WRITE,
        win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING, 0, nullptr));
    win::DWORD returned = 0;
    ASSERT_TRUE(win::DeviceIoControl(other.get(), win::FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0,
                                     &returned, nullptr));
    RunWorker();
    ExpectOnlyErrorBox(kLockError);
    EXPECT_TRUE(JobState.cancelRequested);
    ExpectDisk(disk, BootImage(3), 0);
}

// checks that a chosen drive that lost its 1.44 MB record is not written
TEST_F(WriterNT, DriveWithoutHighDensityRecordIsNotWritten) {
    OpenContainer(BootImage(3));
    const std::string disk = BlankDisk("a.img");
    {
        auto a = MountImageDrive('A', disk);
        FloppyWriter writer;
        ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 1);
    }
    auto log = std::make_shared<DeviceLog>();
    const win::DISK_GEOMETRY doubleDensity{{80}, win::F3_720_512, 2, 9, 512};
    auto a = MountScriptedVolume('A', disk, AnswerMediaTypes({doubleDensity}), log);
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(false, 0), 0);
    RunWorker();
    ExpectOnlyErrorBox(kWriteError);
    EXPECT_TRUE(JobState.failed);
    ExpectJobOver();
    EXPECT_EQ(log->writes, 0);
    ExpectDisk(disk, BootImage(3), 0);
}

// checks that a second worker started while a job runs touches nothing
TEST_F(WriterNT, SecondWorkerDoesNothing) {
    OpenContainer(BootImage(3));
    const std::string disk = BlankDisk("a.img");
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume('A', disk, {}, log);
    SelectDriveA();
    const std::size_t before = log->requestsSoFar().size();
    JobState.busy = true;
    JobState.progress = 7;
    JobState.floppyJobStarting = true;
    RunWorker();
    EXPECT_TRUE(JobState.busy);
    EXPECT_EQ(JobState.progress, 7);
    EXPECT_TRUE(JobState.floppyJobRefused) << "its monitor learns it has no job";
    EXPECT_FALSE(JobState.floppyJobStarting) << "and does not wait for ever";
    EXPECT_EQ(log->requestsSoFar().size(), before);
    EXPECT_EQ(boxes_.count(), 0u);
    ExpectDisk(disk, BootImage(3), 0);
}

// checks that the job keeps writing the drive it started on when the device record changes
TEST_F(WriterNT, JobKeepsItsOwnVolumeHandle) {
    const test::Bytes image = BootImage(6);
    OpenContainer(image);
    const std::string diskA = BlankDisk("a.img");
    const std::string diskB = BlankDisk("b.img");
    auto b = MountImageDrive('B', diskB);
    const platform::FileHandle otherVolume(win::CreateFileA(
        "\\\\.\\B:", win::GENERIC_READ | win::GENERIC_WRITE,
        win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING, 0, nullptr));
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume('A', diskA, BeforeWrite([&](int n) {
                                     if (n == 3)
                                         FloppyDevice.ntVolumeHandle = otherVolume.get();
                                 }),
                                 log);
    FloppyWriter writer;
    ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 2);
    ASSERT_EQ(writer.DetectFloppyDrives(false, 0), 1);
    const win::HANDLE jobVolume = FloppyDevice.ntVolumeHandle;
    RunWorker();
    EXPECT_FALSE(JobState.failed);
    ExpectDisk(diskA, image, 7);
    ExpectDisk(diskB, image, 0);
    EXPECT_EQ(std::ranges::count(log->requestsSoFar(), win::FSCTL_UNLOCK_VOLUME), 1);
    FloppyDevice.ntVolumeHandle = nullptr; // otherVolume closes itself
    win::CloseHandle(jobVolume);
}

// checks the guard: a drive backed by a file larger than a floppy is never offered nor written,
// even when a job is pointed at it
TEST_F(WriterNT, LargeBackingIsNeverWritten) {
    OpenContainer(BootImage(3));
    const std::string large = dir_.path("large.img");
    ASSERT_TRUE(test::WriteFileBytes(large, test::Bytes(3 * kImageBytes, kUntouched)));
    auto a = MountImageDrive('A', large);
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 0);

    // As if discovery had taken it for a floppy.
    FloppyDevice.ntVolumeHandle = win::CreateFileA(
        "\\\\.\\A:", win::GENERIC_READ | win::GENERIC_WRITE,
        win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING, 0, nullptr);
    FloppyDevice.mediaTypes[0] = win::DISK_GEOMETRY{{80}, win::F3_1Pt44_512, 2, 18, 512};
    FloppyDevice.mediaTypeIndex = 0;
    FloppyDevice.selectedDrive = 1;
    RunWorker();
    ExpectOnlyErrorBox(kLockError);
    EXPECT_EQ(test::ReadFileBytes(large), test::Bytes(3 * kImageBytes, kUntouched));
}

// checks the guard on a real mounted file system: a floppy-sized block device that is mounted
// is offered by its size, but the job cannot lock it and writes nothing
TEST_F(WriterNT, MountedDiskIsNeverWritten) {
    OpenContainer(BootImage(3));
    const std::string image = dir_.path("ext2.img");
    ASSERT_TRUE(test::WriteFileBytes(image, test::Bytes(kImageBytes, 0)));
    if (!test::MakeExt2(image))
        GTEST_SKIP() << "no mke2fs";
    test::LoopDevice loop(image);
    if (!loop)
        GTEST_SKIP() << "no loop device for this process";
    test::Ext2Mount mounted(loop.path(), dir_.path("mnt"));
    if (!mounted)
        GTEST_SKIP() << "cannot mount ext2 here";
    ExpectRefusedAsInUse(loop.path());
    // The file system keeps its first 1,024 bytes free; the job would have filled them.
    const test::Bytes disk = test::ReadFileBytes(image);
    EXPECT_EQ(test::Bytes(disk.begin(), disk.begin() + 1024), test::Bytes(1024, 0));
}

// checks that a disk one of whose partitions is mounted is never written: the whole device is
// in use though its own node is not mounted
TEST_F(WriterNT, DiskWithAMountedPartitionIsNeverWritten) {
    OpenContainer(BootImage(3));
    const std::string image = dir_.path("partitioned.img");
    test::Bytes disk(kImageBytes, 0);
    // A DOS partition table: one Linux partition from sector 64 to the end of the disk.
    constexpr std::size_t kEntry = 446;
    constexpr std::uint32_t kFirstSector = 64;
    constexpr std::uint32_t kSectors = kImageBytes / 512 - kFirstSector;
    disk[kEntry + 4] = 0x83;
    for (int i = 0; i < 4; ++i) {
        disk[kEntry + 8 + i] = static_cast<std::uint8_t>(kFirstSector >> (8 * i));
        disk[kEntry + 12 + i] = static_cast<std::uint8_t>(kSectors >> (8 * i));
    }
    disk[510] = 0x55;
    disk[511] = 0xAA;
    ASSERT_TRUE(test::WriteFileBytes(image, disk));
    test::LoopDevice loop(image, {.partitions = true});
    if (!loop)
        GTEST_SKIP() << "no loop device for this process";
    const std::string partition = loop.path() + "p1";
    for (int tries = 0; tries < 100 && !std::filesystem::exists(partition); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!std::filesystem::exists(partition))
        GTEST_SKIP() << "this kernel reads no DOS partition table on a loop device";
    if (!test::MakeExt2(partition))
        GTEST_SKIP() << "no mke2fs";
    test::Ext2Mount mounted(partition, dir_.path("mnt"));
    if (!mounted)
        GTEST_SKIP() << "cannot mount ext2 here";
    ExpectRefusedAsInUse(loop.path());
    const test::Bytes after = test::ReadFileBytes(image);
    EXPECT_EQ(test::Bytes(after.begin(), after.begin() + 512),
              test::Bytes(disk.begin(), disk.begin() + 512))
        << "the partition table is as it was";
}

} // namespace
} // namespace floppytest
