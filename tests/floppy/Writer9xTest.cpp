// SPDX-License-Identifier: GPL-2.0-or-later
#include "FloppyTestbed.h"
#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "floppy/ExtentScan.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWriter.h"
#include "platform/MessageBox.h"
#include "support/ProcessState.h"
#include "support/ScriptedDevices.h"

#include <algorithm>
#include <filesystem>

namespace floppytest {
namespace {

class Writer9x : public FloppyTest {
protected:
    Writer9x() { PlatformProfile.isNT = false; }

    void DetectAndSelect(std::int32_t expectedDrive) {
        FloppyWriter writer;
        ASSERT_EQ(writer.DetectFloppyDrives(true, 0), expectedDrive ? 1 : 0);
        ASSERT_EQ(writer.DetectFloppyDrives(false, 0), expectedDrive ? 1 : 0);
        ASSERT_EQ(FloppyDevice.selectedDrive, expectedDrive);
    }

    static test::Bytes Disk(const std::string& path) { return test::ReadFileBytes(path); }

    static bool Untouched(std::span<const std::uint8_t> bytes) {
        return std::ranges::all_of(bytes, [](std::uint8_t b) { return b == kUntouched; });
    }

    void ExpectOnlyWriteErrorBox() {
        ASSERT_EQ(boxes_.count(), 1u);
        EXPECT_EQ(boxes_.at(0).text, kWriteError);
        EXPECT_EQ(boxes_.at(0).caption, kCaption);
        EXPECT_EQ(boxes_.at(0).style, win::MB_ICONERROR);
        EXPECT_EQ(boxes_.at(0).owner, nullptr);
    }
};

// checks the sample image through the emulated VWIN32, with Int 21h 7305h and with Int 26h:
// the requests carry the documented registers and packets, and the disk gets the scan's
// cylinders and nothing else
TEST_F(Writer9x, WritesTheSampleImageWithEitherService) {
    for (const bool extended : {true, false}) {
        SCOPED_TRACE(extended ? "Int 21h 7305h" : "Int 26h");
        test::ResetProcessState();
        PlatformProfile.isNT = false;
        PlatformProfile.useExtendedWrite = extended;
        test::Bytes image = OpenSampleContainer();
        if (image.empty()) {
            image = BootImage(9);
            OpenContainer(image);
        }
        const std::int32_t count = FindLastUsedCylinder();
        const std::string disk = BlankDisk("a.img");
        auto log = std::make_shared<DeviceLog>();
        auto vwin32 = MountScriptedVwin32({{1, disk}}, {}, log);
        DetectAndSelect(1);
        RunWorker();
        EXPECT_FALSE(JobState.failed);
        EXPECT_FALSE(JobState.busy);
        EXPECT_EQ(JobState.progress, 0);
        EXPECT_EQ(boxes_.count(), 0u);

        const test::Bytes written = Disk(disk);
        for (std::uint32_t cylinder = 0; cylinder < 80; ++cylinder) {
            SCOPED_TRACE(cylinder);
            if (cylinder < static_cast<std::uint32_t>(count))
                EXPECT_TRUE(
                    std::ranges::equal(CylinderOf(written, cylinder), CylinderOf(image, cylinder)));
            else
                EXPECT_TRUE(Untouched(CylinderOf(written, cylinder)));
        }

        const auto writes = log->transfersSoFar(true);
        const auto reads = log->transfersSoFar(false);
        ASSERT_EQ(writes.size(), static_cast<std::size_t>(count));
        ASSERT_EQ(reads.size(), writes.size()) << "every cylinder is read back";
        for (std::size_t cylinder = 0; cylinder < writes.size(); ++cylinder) {
            SCOPED_TRACE(cylinder);
            for (const SectorTransfer& transfer : {writes[cylinder], reads[cylinder]}) {
                const auto& registers = transfer.registers;
                const auto& packet = transfer.packet;
                EXPECT_EQ(packet.get32(platform::DiskIoPacket::kStartSector), cylinder * 36);
                EXPECT_EQ(packet.get16(platform::DiskIoPacket::kSectors), 36);
                EXPECT_NE(packet.get32(platform::DiskIoPacket::kBuffer), 0u);
                EXPECT_NE(registers.reg_EBX, 0u);
                EXPECT_EQ(registers.reg_Flags & 1u, 1u) << "carry is set before the request";
                if (extended) {
                    EXPECT_EQ(transfer.code, win::VWIN32_DIOC_DOS_DRIVEINFO);
                    EXPECT_EQ(registers.reg_EAX, 0x7305u);
                    EXPECT_EQ(registers.reg_ECX, 0xFFFFFFFFu);
                    EXPECT_EQ(registers.reg_EDX, 1u);
                    EXPECT_EQ(registers.reg_ESI, transfer.write ? 0x6001u : 0u);
                } else {
                    EXPECT_EQ(transfer.code, transfer.write ? win::VWIN32_DIOC_DOS_INT26
                                                            : win::VWIN32_DIOC_DOS_INT25);
                    EXPECT_EQ(registers.reg_EAX, 0u);
                    EXPECT_EQ(registers.reg_ECX, 0xFFFFu);
                    EXPECT_EQ(registers.reg_EDX, 0u);
                }
            }
        }
        CloseResourceFile(JobState.resourceFile.exchange(nullptr));
    }
}

// checks that the drive written is the one the list entry names: B: behind a 5.25-inch A:
TEST_F(Writer9x, WritesTheDriveThatWasFound) {
    PlatformProfile.useExtendedWrite = false;
    const test::Bytes image = BootImage(2);
    OpenContainer(image);
    const std::string diskA = BlankDisk("a.img");
    const std::string diskB = BlankDisk("b.img");
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 =
        MountScriptedVwin32({{1, diskA}, {2, diskB}}, AnswerProbes({{1, {1, false}}}), log);
    DetectAndSelect(2);
    RunWorker();
    EXPECT_FALSE(JobState.failed);
    EXPECT_TRUE(Untouched(Disk(diskA)));
    EXPECT_TRUE(std::ranges::equal(CylinderOf(Disk(diskB), 2), CylinderOf(image, 2)));
    EXPECT_EQ(log->transfersSoFar(true).back().registers.reg_EAX, 1u) << "Int 26h counts B: as 1";
}

// checks that a write that returns success but carry set fails the job after what was written
TEST_F(Writer9x, CarrySetIsAFailedWrite) {
    PlatformProfile.useExtendedWrite = true;
    const test::Bytes image = BootImage(6);
    OpenContainer(image);
    const std::string disk = BlankDisk("a.img");
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 = MountScriptedVwin32({{1, disk}}, CarryOnWrite(2), log);
    DetectAndSelect(1);
    RunWorker();
    ExpectOnlyWriteErrorBox();
    EXPECT_TRUE(JobState.failed);
    EXPECT_FALSE(JobState.cancelRequested);
    EXPECT_FALSE(JobState.busy);
    EXPECT_EQ(JobState.progress, 0);
    const test::Bytes written = Disk(disk);
    EXPECT_TRUE(std::ranges::equal(CylinderOf(written, 0), CylinderOf(image, 0)));
    EXPECT_TRUE(Untouched(CylinderOf(written, 1)));
    EXPECT_EQ(log->writes, 2);
}

// checks that a cylinder the disk does not give back as written fails the job at that cylinder,
// and that a VWIN32 whose services do nothing (carry left as it was preset) fails the first
TEST_F(Writer9x, CylinderThatDoesNotReadBackIsAFailedWrite) {
    struct Case {
        const char* name;
        Vwin32Script script;
        int writes;                    // requests the job made before it stopped
        std::uint32_t cylindersOnDisk; // written as the image has them
        std::int32_t highestProgress;
    };
    const Case cases[] = {
        {"third write lost", LoseVwin32Write(3), 3, 2, 1},
        {"third read-back differs", CorruptVwin32Read(3), 3, 3, 1},
        {"services that do nothing", DoNothing(), 1, 0, 0},
    };
    const test::Bytes image = BootImage(6);
    for (const bool extended : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (extended ? ", 7305h" : ", Int 25h/26h"));
            test::ResetProcessState();
            PlatformProfile.isNT = false;
            PlatformProfile.useExtendedWrite = extended;
            test::MessageBoxRecorder boxes;
            OpenContainer(image);
            const std::string disk = BlankDisk("a.img");
            auto log = std::make_shared<DeviceLog>();
            auto vwin32 = MountScriptedVwin32({{1, disk}}, c.script, log);
            DetectAndSelect(1);
            const JobTrace trace = RunWorker();
            ASSERT_EQ(boxes.count(), 1u);
            EXPECT_EQ(boxes.at(0).text, kWriteError);
            EXPECT_TRUE(JobState.failed);
            EXPECT_LE(trace.highestProgress, c.highestProgress)
                << "the failed cylinder never counted";
            EXPECT_EQ(log->writes, c.writes);
            const test::Bytes written = Disk(disk);
            for (std::uint32_t cylinder = 0; cylinder < 7; ++cylinder) {
                SCOPED_TRACE(cylinder);
                if (cylinder < c.cylindersOnDisk)
                    EXPECT_TRUE(std::ranges::equal(CylinderOf(written, cylinder),
                                                   CylinderOf(image, cylinder)));
                else
                    EXPECT_TRUE(Untouched(CylinderOf(written, cylinder)));
            }
            CloseResourceFile(JobState.resourceFile.exchange(nullptr));
        }
    }
}

// checks that a job whose select mode found no 1.44 MB drive writes nothing
TEST_F(Writer9x, NoDriveFoundWritesNothing) {
    OpenContainer(BootImage(2));
    const std::string disk = BlankDisk("a.img");
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 = MountScriptedVwin32({{1, disk}}, AnswerProbes({{1, {2, false}}}), log);
    DetectAndSelect(0);
    RunWorker();
    ExpectOnlyWriteErrorBox();
    EXPECT_TRUE(JobState.failed);
    EXPECT_EQ(log->writes, 0);
    EXPECT_TRUE(Untouched(Disk(disk)));
}

// checks a drive without a disk (its image file absent): the write fails and creates nothing
TEST_F(Writer9x, DriveWithoutDiskFails) {
    OpenContainer(BootImage(2));
    const std::string missing = dir_.path("not-inserted.img");
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 = MountScriptedVwin32({{1, missing}}, {}, log);
    DetectAndSelect(1);
    RunWorker();
    ExpectOnlyWriteErrorBox();
    EXPECT_TRUE(JobState.failed);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

} // namespace
} // namespace floppytest
