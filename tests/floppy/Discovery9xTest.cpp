// SPDX-License-Identifier: GPL-2.0-or-later
#include "FloppyTestbed.h"
#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWriter.h"
#include "platform/MessageBox.h"
#include "support/ProcessState.h"
#include "support/ScriptedDevices.h"

namespace floppytest {
namespace {

class Discovery9x : public FloppyTest {
protected:
    Discovery9x() { PlatformProfile.isNT = false; }

    // The drives each probe asked for, in order.
    static std::vector<int> ProbedDrives(DeviceLog& log) {
        std::lock_guard lock(log.mutex);
        std::vector<int> drives;
        for (const auto& registers : log.registers)
            drives.push_back(static_cast<int>(registers.reg_EBX));
        return drives;
    }
};

// checks that without VWIN32 the user is told (1024 / 1006, error icon, no owner) and no drive
// is offered
TEST_F(Discovery9x, MissingVwin32IsReported) {
    OpenContainer(BootImage(1));
    platform::layer::ScopedDevice missing("\\\\.\\VWIN32", [](const auto&) {
        win::SetLastError(win::ERROR_FILE_NOT_FOUND);
        return std::shared_ptr<platform::layer::KernelObject>();
    });
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 0);
    ASSERT_EQ(boxes_.count(), 1u);
    const test::RecordedBox box = boxes_.at(0);
    EXPECT_EQ(box.text, kNoVwin32);
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.style, win::MB_ICONERROR);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(FoundFloppyDrive(0), 0);
}

// checks the usual machine: A: and B: 1.44 MB, default drive on the hard disk; B: is never
// asked, and select mode stores A:'s parameters
TEST_F(Discovery9x, FindsTheFirstDriveAndReadsItsParameters) {
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 = MountScriptedVwin32({{1, BlankDisk("a.img")}, {2, BlankDisk("b.img")}}, {}, log);
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 1);
    EXPECT_EQ(JobState.floppyDriveNumber, 1);
    EXPECT_EQ(FoundFloppyDrive(0), 1);
    EXPECT_EQ(ProbedDrives(*log), std::vector<int>{1});
    EXPECT_TRUE(IsOpenHandle(FloppyDevice.vwin32Handle)) << "VWIN32 stays open";

    EXPECT_EQ(writer.DetectFloppyDrives(false, 0), 1);
    EXPECT_EQ(FloppyDevice.cylinders, 80);
    EXPECT_EQ(FloppyDevice.bytesPerSector, 512);
    EXPECT_EQ(FloppyDevice.totalSectors, 2880);
    EXPECT_EQ(FloppyDevice.selectedDrive, 1);
    EXPECT_EQ(boxes_.count(), 0u);
}

// checks that each probe asks for the default device parameters with carry set beforehand
TEST_F(Discovery9x, ProbeRegisters) {
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 = MountScriptedVwin32({}, AnswerProbes({{1, {5, false}}, {2, {5, false}}}), log);
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 0);
    std::lock_guard lock(log->mutex);
    ASSERT_EQ(log->registers.size(), 3u);
    for (std::size_t probe = 0; probe < log->registers.size(); ++probe) {
        SCOPED_TRACE(probe);
        const auto& registers = log->registers[probe];
        EXPECT_EQ(log->requests[probe], win::VWIN32_DIOC_DOS_IOCTL);
        EXPECT_EQ(registers.reg_EAX, 0x440Du);
        EXPECT_EQ(registers.reg_EBX, probe + 1);
        EXPECT_EQ(registers.reg_ECX, 0x0860u);
        EXPECT_NE(registers.reg_EDX, 0u);
        EXPECT_EQ(registers.reg_Flags, 1u);
    }
}

// checks the probe outcomes that are no 1.44 MB drive, and one after them that is
TEST_F(Discovery9x, OnlyDeviceTypeSevenWithCarryClearCounts) {
    struct Case {
        const char* name;
        std::map<int, ProbeAnswer> probes;
        std::int32_t found;
        std::int32_t drive;
    };
    const Case cases[] = {
        {"carry set with type 7", {{1, {7, true}}, {2, {7, true}}, {3, {7, true}}}, 0, 0},
        {"5.25-inch A:, 1.44 MB B:", {{1, {1, false}}, {2, {7, false}}}, 1, 2},
        {"only C:", {{1, {2, false}}, {2, {0, true}}, {3, {7, false}}}, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ResetProcessState();
        PlatformProfile.isNT = false;
        auto log = std::make_shared<DeviceLog>();
        auto vwin32 = MountScriptedVwin32({}, AnswerProbes(c.probes), log);
        FloppyWriter writer;
        EXPECT_EQ(writer.DetectFloppyDrives(true, 0), c.found);
        EXPECT_EQ(JobState.floppyDriveNumber, c.drive);
        EXPECT_EQ(FoundFloppyDrive(0), c.drive);
    }
}

// checks that a floppy that is the current default drive is found as A:, never as drive 0
TEST_F(Discovery9x, DefaultDriveFloppyIsFoundUnderItsLetter) {
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 = MountScriptedVwin32({{1, BlankDisk("a.img")}}, DefaultDrive(1), log);
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 1);
    EXPECT_EQ(JobState.floppyDriveNumber, 1);
    EXPECT_EQ(FoundFloppyDrive(0), 1);
}

// checks that select mode without a found drive asks nothing and leaves no geometry behind
TEST_F(Discovery9x, SelectModeWithoutDrive) {
    auto log = std::make_shared<DeviceLog>();
    auto vwin32 = MountScriptedVwin32({}, {}, log);
    FloppyWriter writer;
    ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 0);
    const std::size_t probes = log->requestsSoFar().size();
    EXPECT_EQ(writer.DetectFloppyDrives(false, 0), 0);
    EXPECT_EQ(log->requestsSoFar().size(), probes);
    EXPECT_EQ(FloppyDevice.selectedDrive, 0);
    EXPECT_EQ(FloppyDevice.cylinders, 0);
    EXPECT_EQ(FloppyDevice.totalSectors, 0);
}

} // namespace
} // namespace floppytest
