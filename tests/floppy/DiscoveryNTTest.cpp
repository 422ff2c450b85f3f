// SPDX-License-Identifier: GPL-2.0-or-later
#include "FloppyTestbed.h"
#include "app/JobState.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWriter.h"
#include "platform/Files.h"
#include "support/ProcessState.h"
#include "support/ScriptedDevices.h"

namespace floppytest {
namespace {

using DiscoveryNT = FloppyTest;

win::DISK_GEOMETRY Medium(win::MEDIA_TYPE type) {
    return win::DISK_GEOMETRY{{80}, type, 2, 18, 512};
}

const std::vector<win::DISK_GEOMETRY> k525Drive{Medium(win::F5_360_512), Medium(win::F5_1Pt2_512)};

// checks the drive counts and the first drive for each set of drives, with real image drives
TEST_F(DiscoveryNT, CountsTheHighDensityDrives) {
    struct Case {
        const char* name;
        bool driveA;
        bool driveB;
        std::int32_t count;
        std::int32_t firstDrive;
        std::int32_t secondDrive;
    };
    const Case cases[] = {
        {"A: only", true, false, 1, 1, 0},
        {"A: and B:", true, true, 2, 1, 2},
        {"B: only", false, true, 1, 2, 0},
        {"none", false, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ResetProcessState();
        auto a = c.driveA ? MountImageDrive('A', BlankDisk("a.img")) : MountNoDrive('A');
        auto b = c.driveB ? MountImageDrive('B', BlankDisk("b.img")) : MountNoDrive('B');
        FloppyWriter writer;
        EXPECT_EQ(writer.DetectFloppyDrives(true, 0), c.count);
        EXPECT_EQ(JobState.floppyDriveNumber, c.firstDrive);
        EXPECT_EQ(FoundFloppyDrive(0), c.firstDrive);
        EXPECT_EQ(FoundFloppyDrive(1), c.secondDrive);
        EXPECT_EQ(FoundFloppyDrive(2), 0);
        EXPECT_EQ(FloppyDevice.ntVolumeHandle.load(), win::INVALID_HANDLE_VALUE)
            << "detect mode leaves no handle behind, not even a closed one";
        EXPECT_EQ(boxes_.count(), 0u);
    }
}

// checks that a 5.25-inch A: is passed over and B: becomes the first drive and list entry 0
TEST_F(DiscoveryNT, LowDensityDriveIsNotOffered) {
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume('A', "", AnswerMediaTypes(k525Drive), log);
    auto b = MountImageDrive('B', BlankDisk("b.img"));
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 1);
    EXPECT_EQ(JobState.floppyDriveNumber, 2);
    EXPECT_EQ(FoundFloppyDrive(0), 2);
    EXPECT_EQ(writer.DetectFloppyDrives(false, 0), 1) << "entry 0 names B:";
    EXPECT_EQ(FloppyDevice.selectedDrive, 2);
    EXPECT_EQ(log->opens, 1) << "select mode opens only the chosen drive";
}

// checks that the search stops at the records this drive returned, not at leftovers
TEST_F(DiscoveryNT, SearchIsBoundedByTheReturnedRecords) {
    auto log = std::make_shared<DeviceLog>();
    const std::vector<win::DISK_GEOMETRY> longList{Medium(win::F3_720_512), Medium(win::F3_720_512),
                                                   Medium(win::F3_720_512),
                                                   Medium(win::F3_1Pt44_512)};
    auto a = MountScriptedVolume('A', "", AnswerMediaTypes(longList), log);
    auto b = MountScriptedVolume('B', "", AnswerMediaTypes(k525Drive), log);
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 1) << "B: must not count A:'s fourth record";
    EXPECT_EQ(FloppyDevice.mediaTypeIndex, 3);
    EXPECT_EQ(FoundFloppyDrive(1), 0);
}

// checks that a failing media-type request leaves the drive out
TEST_F(DiscoveryNT, FailedMediaRequestIsNoDrive) {
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume('A', "", FailMediaRequest(), log);
    auto b = MountScriptedVolume('B', "", FailMediaRequest(), log);
    FloppyWriter writer;
    EXPECT_EQ(writer.DetectFloppyDrives(true, 0), 0);
    EXPECT_EQ(JobState.floppyDriveNumber, 0);
}

// checks that select mode keeps exactly the chosen drive's handle, with its 1.44 MB record
TEST_F(DiscoveryNT, SelectModeOpensTheChosenDrive) {
    auto log = std::make_shared<DeviceLog>();
    auto a = MountImageDrive('A', BlankDisk("a.img"));
    auto b = MountScriptedVolume('B', BlankDisk("b.img"), {}, log);
    FloppyWriter writer;
    ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 2);
    const int opensInDetect = log->opens;

    EXPECT_EQ(writer.DetectFloppyDrives(false, 1), 1);
    EXPECT_EQ(log->opens, opensInDetect + 1);
    EXPECT_EQ(FloppyDevice.selectedDrive, 2);
    const win::HANDLE volume = FloppyDevice.ntVolumeHandle;
    ASSERT_TRUE(IsOpenHandle(volume));
    EXPECT_EQ(
        FloppyDevice.mediaTypes[static_cast<std::size_t>(FloppyDevice.mediaTypeIndex)].MediaType,
        win::F3_1Pt44_512);

    // A second select mode replaces the handle and closes the first one.
    EXPECT_EQ(writer.DetectFloppyDrives(false, 0), 1);
    EXPECT_EQ(FloppyDevice.selectedDrive, 1);
    EXPECT_FALSE(win::CloseHandle(volume)) << "the replaced handle was closed";
    CloseFloppyVolume();
    CloseFloppyVolume();
    EXPECT_EQ(FloppyDevice.ntVolumeHandle.load(), win::INVALID_HANDLE_VALUE);
}

// checks select mode for list entries that name no drive, and for a drive that fails to open
TEST_F(DiscoveryNT, SelectModeWithoutAUsableDrive) {
    auto log = std::make_shared<DeviceLog>();
    auto a = MountScriptedVolume('A', "", {}, log);
    auto b = MountNoDrive('B');
    FloppyWriter writer;
    ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 0) << "the scripted A: has an empty list";

    for (std::int32_t index : {-1, 0, 5}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(writer.DetectFloppyDrives(false, index), 0);
        EXPECT_EQ(FloppyDevice.ntVolumeHandle.load(), win::INVALID_HANDLE_VALUE);
        EXPECT_EQ(FloppyDevice.selectedDrive, 0);
    }
}

// checks that select mode leaves a running job's device state alone
TEST_F(DiscoveryNT, SelectModeWaitsWhileAJobRuns) {
    auto a = MountImageDrive('A', BlankDisk("a.img"));
    auto b = MountNoDrive('B');
    FloppyWriter writer;
    ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 1);
    ASSERT_EQ(writer.DetectFloppyDrives(false, 0), 1);
    const win::HANDLE volume = FloppyDevice.ntVolumeHandle;
    JobState.busy = true;
    EXPECT_EQ(writer.DetectFloppyDrives(false, 0), 0);
    EXPECT_EQ(FloppyDevice.ntVolumeHandle.load(), volume);
}

} // namespace
} // namespace floppytest
