// SPDX-License-Identifier: GPL-2.0-or-later
// Create Floppy from the dialog onto an image-file drive: the question, the job's look, the
// monitor's progress and outcome, and the bytes on the disk.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "floppy/FloppyDevice.h"
#include "platform/linux/BackingHook.h"
#include "res/ResourceIds.h"
#include "resfile/Catalogue.h"
#include "support/CapturedLog.h"
#include "support/DiscTools.h"
#include "support/LockHolder.h"
#include "support/LoopDevice.h"
#include "support/ScriptedDevices.h"
#include "support/gui/GuiDriver.h"

#include <QComboBox>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

using guitest::GuiDriver;
using namespace dialogtest;

namespace {

// The scan writes the data cylinders and the first fill cylinder after them.
constexpr std::uint32_t kCylindersWritten = kDataCylinders + 1;

test::Bytes DiskPrefix(const std::string& path, std::uint32_t bytes) {
    test::Bytes disk = test::ReadFileBytes(path);
    disk.resize(std::min<std::size_t>(disk.size(), bytes));
    return disk;
}

// Clicks Create Floppy and answers OK to its question.
void StartFloppyJob(GuiDriver& gui) {
    gui.Click(res::kIdcCreateFloppy);
    ASSERT_TRUE(guitest::WaitForMessageBox());
    guitest::AnswerMessageBox(win::IDOK);
}

// Waits for the monitor's idle reset, which gives Exit back last.
void WaitForIdle(GuiDriver& gui) {
    ASSERT_TRUE(guitest::WaitUntil([&] { return gui.IsEnabled(res::kIdcExit); }));
}

bool Untouched(const std::string& path, std::uint8_t value = 0) {
    const test::Bytes bytes = test::ReadFileBytes(path);
    return !bytes.empty() && std::ranges::all_of(bytes, [value](auto b) { return b == value; });
}

constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;

} // namespace

class FloppyJob : public DialogFixture {
protected:
    // The reasons the layer logs stay in the test's folder.
    test::CapturedLog log_{dir_};
};

// checks a whole job: question, job look, success box with the cylinder count, idle reset, and
// exactly the front cylinders of the image on the disk.
TEST_F(FloppyJob, WritesTheFrontCylindersAndReportsSuccess) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.Click(res::kIdcCreateFloppy);
        auto question = guitest::WaitForMessageBox();
        ASSERT_TRUE(question);
        EXPECT_EQ(question->text, "1021");
        EXPECT_EQ(question->caption, "1007");
        EXPECT_TRUE(question->question);
        EXPECT_TRUE(question->ownedByDialog);
        guitest::AnswerMessageBox(win::IDOK);

        auto success = guitest::WaitForMessageBox();
        ASSERT_TRUE(success);
        EXPECT_EQ(success->text, "1023 1040 A");
        EXPECT_EQ(success->caption, "1009");
        EXPECT_EQ(success->icon, QMessageBox::Information);
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "1016 3/3");
        const GuiDriver::Progress bar = gui.ProgressOf(res::kIdcProgress);
        EXPECT_EQ(bar.maximum, static_cast<int>(kCylindersWritten));
        EXPECT_EQ(bar.value, bar.maximum);
        EXPECT_FALSE(gui.IsEnabled(res::kIdcExit));
        guitest::AnswerMessageBox(win::IDOK);

        WaitForIdle(gui);
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "1010 A");
        EXPECT_EQ(gui.Text(res::kIdcCreateFloppy), "1035");
        EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateCd));
        EXPECT_EQ(gui.ProgressOf(res::kIdcProgress).value, 0);
    });
    const test::Bytes image = BootImage(catalogue::kBootImageBytes);
    const test::Bytes disk = test::ReadFileBytes(floppyPath());
    const std::size_t written = kCylindersWritten * catalogue::kCylinderBytes;
    ASSERT_EQ(disk.size(), catalogue::kBootImageBytes);
    EXPECT_TRUE(std::equal(disk.begin(), disk.begin() + written, image.begin()));
    EXPECT_TRUE(std::all_of(disk.begin() + written, disk.end(), [](auto b) { return b == 0; }));
}

// checks that Cancel at the question changes nothing: no job, same look, untouched disk.
TEST_F(FloppyJob, CancelAtTheQuestionChangesNothing) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.Click(res::kIdcCreateFloppy);
        ASSERT_TRUE(guitest::WaitForMessageBox());
        guitest::AnswerMessageBox(win::IDCANCEL);
        ASSERT_TRUE(guitest::WaitUntil([] { return true; }));
        EXPECT_FALSE(JobState.busy);
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "1010 A");
        EXPECT_EQ(gui.Text(res::kIdcCreateFloppy), "1035");
        EXPECT_TRUE(gui.IsEnabled(res::kIdcExit));
        EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateCd));
    });
    EXPECT_EQ(DiskPrefix(floppyPath(), catalogue::kCylinderBytes),
              test::Bytes(catalogue::kCylinderBytes, 0));
}

// checks that with an invalid image Create CD-ROM (enabled after "nocd") refuses with 1020 and
// asks nothing.
TEST_F(FloppyJob, InvalidImageRefusesWithoutQuestion) {
    Prepare(FullContainer(catalogue::kBootImageBytes - 1));
    CBootMediaDlg dialog;
    dialog.EnableCd(false);
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.Click(res::kIdcCreateCd);
        auto box = guitest::WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, "1020");
        EXPECT_EQ(box->caption, "1006");
        EXPECT_EQ(box->icon, QMessageBox::Critical);
        EXPECT_FALSE(box->question);
        guitest::AnswerMessageBox(win::IDOK);
    });
    EXPECT_FALSE(JobState.busy);
}

namespace {

// What the user sees of a job the drive refuses: the writer's lock box, then the monitor's
// cancel box, then the idle look. attack runs while the question is open.
void RunRefusedJob(const std::function<void()>& attack = {}) {
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.Click(res::kIdcCreateFloppy);
        ASSERT_TRUE(guitest::WaitForMessageBox());
        if (attack)
            attack();
        guitest::AnswerMessageBox(win::IDOK);
        auto lockBox = guitest::WaitForMessageBox();
        ASSERT_TRUE(lockBox);
        EXPECT_EQ(lockBox->text, "1028");
        EXPECT_FALSE(lockBox->ownedByDialog);
        guitest::AnswerMessageBox(win::IDOK);
        auto cancelled = guitest::WaitForMessageBox();
        ASSERT_TRUE(cancelled);
        EXPECT_EQ(cancelled->text, "1022");
        EXPECT_EQ(cancelled->caption, "1008");
        EXPECT_EQ(cancelled->icon, QMessageBox::Warning);
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "1010 A");
        EXPECT_EQ(gui.Text(res::kIdcCreateFloppy), "1035");
        EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateFloppy));
    });
}

} // namespace

// checks that a lock the drive refuses is reported as a cancelled job after the writer's box,
// and nothing is written.
TEST_F(FloppyJob, RefusedLockIsReportedAsCancelled) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    // Another holder of the backing, from the question on: the volume lock fails.
    platform::FileHandle holder;
    RunRefusedJob([&] {
        holder.reset(win::CreateFileA(floppyPath().c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                      0, nullptr, win::OPEN_EXISTING, 0, nullptr));
    });
    EXPECT_TRUE(holder);
    EXPECT_EQ(DiskPrefix(floppyPath(), catalogue::kCylinderBytes),
              test::Bytes(catalogue::kCylinderBytes, 0));
}

namespace {

// An image whose 80 cylinders all hold data: the job writes every one.
test::ContainerBuilder FullImageContainer() {
    test::ContainerBuilder container = FullContainer(std::nullopt);
    test::Bytes image(catalogue::kBootImageBytes);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i % 251);
    container.add(catalogue::kBootImage, image);
    return container;
}

// Drive A: over the floppy image with each write slowed down, so that the monitor's 100 ms polls
// see the job's stages; the log counts what the job asked.
struct SlowDrive {
    SlowDrive(const std::string& image, std::chrono::milliseconds first,
              std::chrono::milliseconds each)
        : mount(floppytest::MountScriptedVolume('A', image, floppytest::BeforeWrite([=](int n) {
                                                    std::this_thread::sleep_for(n == 1 ? first
                                                                                       : each);
                                                }),
                                                log)) {}

    std::shared_ptr<floppytest::DeviceLog> log = std::make_shared<floppytest::DeviceLog>();
    std::unique_ptr<platform::layer::ScopedDevice> mount;
};

constexpr std::int32_t kAllCylinders = static_cast<std::int32_t>(catalogue::kCylinders);

} // namespace

// checks an 80-cylinder job: the status runs from (1, 80) to (80, 80), the bar's range is the
// job's own count, and Create Floppy comes back as the job's cancel once the write is under way.
TEST_F(FloppyJob, EightyCylindersShowEveryStage) {
    Prepare(FullImageContainer());
    const SlowDrive drive(floppyPath(), std::chrono::milliseconds(400),
                          std::chrono::milliseconds(10));
    CBootMediaDlg dialog;
    std::vector<std::string> statuses;
    bool cancelOffered = false;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        StartFloppyJob(gui);
        while (!guitest::WaitForMessageBox(std::chrono::milliseconds(20))) {
            const std::string status = gui.Text(res::kIdcStatusText);
            if (statuses.empty() || statuses.back() != status)
                statuses.push_back(status);
            cancelOffered = cancelOffered || (gui.IsEnabled(res::kIdcCreateFloppy) &&
                                              gui.Text(res::kIdcCreateFloppy) == "1005" &&
                                              !gui.IsEnabled(res::kIdcExit));
        }
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "1016 80/80");
        EXPECT_EQ(gui.ProgressOf(res::kIdcProgress).maximum, kAllCylinders);
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
    });
    ASSERT_FALSE(statuses.empty());
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "1016 1/80"), statuses.end());
    EXPECT_TRUE(cancelOffered);
    EXPECT_EQ(drive.log->writes, kAllCylinders);
    const test::Bytes container = FullImageContainer().bytes();
    EXPECT_EQ(test::ReadFileBytes(floppyPath()),
              test::Bytes(container.end() - catalogue::kBootImageBytes, container.end()));
}

// checks that Create Floppy during a job cancels it after the current cylinder: the warning box,
// a bar that never fills, and exactly the cylinders written so far on the disk.
TEST_F(FloppyJob, ClickDuringTheJobCancelsIt) {
    Prepare(FullImageContainer());
    const SlowDrive drive(floppyPath(), std::chrono::milliseconds(30),
                          std::chrono::milliseconds(30));
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        StartFloppyJob(gui);
        ASSERT_TRUE(guitest::WaitUntil([&] { return JobState.progress >= 2; }));
        ASSERT_TRUE(guitest::WaitUntil([&] { return gui.IsEnabled(res::kIdcCreateFloppy); }));
        gui.Click(res::kIdcCreateFloppy);
        auto cancelled = guitest::WaitForMessageBox();
        ASSERT_TRUE(cancelled);
        EXPECT_EQ(cancelled->text, "1022");
        EXPECT_EQ(cancelled->caption, "1008");
        EXPECT_EQ(cancelled->icon, QMessageBox::Warning);
        EXPECT_LT(gui.ProgressOf(res::kIdcProgress).value, kAllCylinders);
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
        EXPECT_EQ(gui.Text(res::kIdcCreateFloppy), "1035");
    });
    ASSERT_GT(drive.log->writes, 2);
    ASSERT_LT(drive.log->writes, kAllCylinders);
    const test::Bytes disk = test::ReadFileBytes(floppyPath());
    const test::Bytes container = FullImageContainer().bytes();
    const auto image = container.end() - catalogue::kBootImageBytes;
    const std::size_t written =
        static_cast<std::size_t>(drive.log->writes) * catalogue::kCylinderBytes;
    EXPECT_TRUE(std::equal(disk.begin(), disk.begin() + static_cast<long>(written), image));
    EXPECT_TRUE(std::all_of(disk.begin() + static_cast<long>(written), disk.end(),
                            [](auto b) { return b == 0; }));
}

// checks that a write the drive fails ends the job with the writer's box only: no message from
// the monitor, and the dialog back in its idle look.
TEST_F(FloppyJob, FailedWriteShowsOnlyTheWritersBox) {
    Prepare(FullImageContainer());
    auto log = std::make_shared<floppytest::DeviceLog>();
    auto mount = floppytest::MountScriptedVolume('A', floppyPath(), floppytest::FailWrite(3), log);
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        StartFloppyJob(gui);
        auto failure = guitest::WaitForMessageBox();
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->text, "1026");
        EXPECT_FALSE(failure->ownedByDialog);
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
        EXPECT_FALSE(guitest::WaitForMessageBox(std::chrono::milliseconds(300)));
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "1010 A");
    });
    EXPECT_TRUE(JobState.failed);
}

// checks that without a recorder Create CD-ROM stays disabled after a floppy job.
TEST_F(FloppyJob, NoRecorderKeepsCreateCdDisabled) {
    Prepare(FullContainer(catalogue::kBootImageBytes), {true, false});
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        StartFloppyJob(gui);
        ASSERT_TRUE(guitest::WaitForMessageBox());
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
        EXPECT_FALSE(gui.IsEnabled(res::kIdcCreateCd));
    });
}

// checks that closing the window at the start of a job keeps it open and ends the process with
// exit code 0 once the third cylinder is on the disk.
TEST_F(FloppyJob, EarlyCloseEndsTheProcessAtTheThirdCylinder) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Prepare(FullImageContainer());
    const SlowDrive drive(floppyPath(), std::chrono::milliseconds(300),
                          std::chrono::milliseconds(100));
    EXPECT_EXIT(
        {
            CBootMediaDlg dialog;
            GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
                gui.WaitUntilShown();
                gui.Click(res::kIdcCreateFloppy);
                guitest::WaitForMessageBox();
                guitest::AnswerMessageBox(win::IDOK);
                guitest::WaitUntil([] { return JobState.busy.load(); });
                gui.Close();
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                if (gui.IsShown() && JobState.progress < 2)
                    std::fputs("window stayed", stderr);
                std::this_thread::sleep_for(std::chrono::seconds(10));
            });
        },
        testing::ExitedWithCode(0), "window stayed");
}

// checks that the floppy the dialog writes from the sample container boots a PC.
TEST_F(FloppyJob, SampleFloppyBoots) {
    if (PrepareSample().empty())
        GTEST_SKIP() << "no sample container built";
    if (!disctest::HaveProgram("qemu-system-i386"))
        GTEST_SKIP() << "qemu-system-i386 is not installed";
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        StartFloppyJob(gui);
        auto success = guitest::WaitForMessageBox();
        ASSERT_TRUE(success);
        EXPECT_EQ(success->icon, QMessageBox::Information);
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
    });
    const disctest::Run boot = disctest::BootFloppy(floppyPath(), dir_.path("console.log"));
    EXPECT_NE(boot.output.find("BOOTMEDIA-OK"), std::string::npos) << boot.output;
}

// checks that the success box names the drive the job wrote, B: here, while the idle line keeps
// naming the first floppy drive
TEST_F(FloppyJob, SuccessNamesTheDriveWritten) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    const std::string driveB = dir_.path("b.img");
    ASSERT_TRUE(test::WriteFileBytes(driveB, test::Bytes(catalogue::kBootImageBytes, 0)));
    setenv("BOOTMEDIA_DRIVE_B", driveB.c_str(), 1);
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        ASSERT_EQ(gui.Items(res::kIdcFloppyList), (std::vector<std::string>{"1037 A", "1037 B"}));
        ASSERT_TRUE(guitest::WaitUntil([&] {
            static_cast<QComboBox*>(gui.Widget(res::kIdcFloppyList))->setCurrentIndex(1);
            return true;
        }));
        StartFloppyJob(gui);
        auto success = guitest::WaitForMessageBox();
        ASSERT_TRUE(success);
        EXPECT_EQ(success->text, "1023 1040 B");
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "1010 A");
    });
    EXPECT_TRUE(Untouched(floppyPath()));
    EXPECT_FALSE(Untouched(driveB));
}

// checks the hand-off between jobs: a click on Create Floppy while the last job's monitor still
// shows its outcome starts nothing, the monitor closes its job's volume before the dialog is idle
// again, and the next job then runs normally
TEST_F(FloppyJob, NoJobStartsWhileTheLastOneIsReported) {
    Prepare(FullImageContainer());
    const SlowDrive drive(floppyPath(), std::chrono::milliseconds(10),
                          std::chrono::milliseconds(10));
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        StartFloppyJob(gui);
        auto success = guitest::WaitForMessageBox();
        ASSERT_TRUE(success);
        ASSERT_TRUE(gui.IsEnabled(res::kIdcCreateFloppy)) << "offered as the job's cancel";
        EXPECT_TRUE(JobState.floppyMonitorRunning);
        gui.Click(res::kIdcCreateFloppy);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(guitest::WaitForMessageBox()->text, success->text) << "no question was asked";
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
        EXPECT_FALSE(JobState.floppyMonitorRunning);
        EXPECT_FALSE(IsOpenHandle(FloppyDevice.ntVolumeHandle)) << "the job's volume is closed";
        EXPECT_FALSE(guitest::WaitForMessageBox(std::chrono::milliseconds(300)));

        StartFloppyJob(gui);
        auto again = guitest::WaitForMessageBox();
        ASSERT_TRUE(again);
        EXPECT_EQ(again->text, "1023 1040 A");
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
    });
    EXPECT_EQ(drive.log->writes, 2 * kAllCylinders);
}

// checks that an image grown to 10 MB while the question is open is not written
TEST_F(FloppyJob, ImageGrownDuringTheQuestionIsNotWritten) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    RunRefusedJob([&] { std::filesystem::resize_file(floppyPath(), kTenMegabytes); });
    EXPECT_EQ(std::filesystem::file_size(floppyPath()), kTenMegabytes);
    EXPECT_TRUE(Untouched(floppyPath()));
}

// checks that an image another process holds with a lock, of an open file description or of
// POSIX, is not written
TEST_F(FloppyJob, ImageLockedByAnotherProcessIsNotWritten) {
    for (const test::LockKind kind : {test::LockKind::OpenFileWrite, test::LockKind::Posix}) {
        SCOPED_TRACE(kind == test::LockKind::Posix ? "POSIX" : "open file description");
        Prepare(FullContainer(catalogue::kBootImageBytes));
        const test::LockHolder holder(floppyPath(), kind);
        ASSERT_TRUE(holder);
        RunRefusedJob();
        EXPECT_TRUE(Untouched(floppyPath()));
    }
}

// checks that the image a running emulator uses as its floppy is not written
TEST_F(FloppyJob, ImageOfARunningEmulatorIsNotWritten) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    if (!disctest::HaveProgram("qemu-system-i386"))
        GTEST_SKIP() << "qemu-system-i386 is not installed";
    const test::EmulatorHolding emulator(floppyPath());
    ASSERT_TRUE(emulator) << "the emulator took no lock on its floppy";
    RunRefusedJob();
    EXPECT_TRUE(Untouched(floppyPath()));
}

// checks that a hard link to an image behind a loop device is not written
TEST_F(FloppyJob, HardLinkToALoopAttachedImageIsNotWritten) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    const test::LoopDevice loop(floppyPath());
    if (!loop)
        GTEST_SKIP() << "no loop device for this process";
    const std::string link = dir_.path("link.img");
    std::filesystem::create_hard_link(floppyPath(), link);
    setenv("BOOTMEDIA_DRIVE_A", link.c_str(), 1);
    RunRefusedJob();
    EXPECT_TRUE(Untouched(floppyPath()));
}

// checks that a symlink swapped to a larger file under the job changes nothing: the image that
// was checked is written and reported, the larger file is untouched
TEST_F(FloppyJob, SymlinkSwappedUnderTheJobWritesWhatWasChecked) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    const std::string large = dir_.path("large.img");
    ASSERT_TRUE(test::WriteFileBytes(large, test::Bytes(kTenMegabytes, 0x33)));
    const std::string link = dir_.path("drive");
    std::filesystem::create_symlink(floppyPath(), link);
    setenv("BOOTMEDIA_DRIVE_A", link.c_str(), 1);
    const platform::layer::ScopedBackingHook swap(
        [&](platform::layer::BackingMoment moment, const std::string&) {
            if (moment != platform::layer::BackingMoment::Claiming)
                return;
            std::filesystem::remove(link);
            std::filesystem::create_symlink(large, link);
        });
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        StartFloppyJob(gui);
        auto success = guitest::WaitForMessageBox();
        ASSERT_TRUE(success);
        EXPECT_EQ(success->text, "1023 1040 A");
        guitest::AnswerMessageBox(win::IDOK);
        WaitForIdle(gui);
    });
    EXPECT_EQ(std::filesystem::read_symlink(link), large) << "the swap happened";
    EXPECT_TRUE(Untouched(large, 0x33));
    const test::Bytes image = BootImage(catalogue::kBootImageBytes);
    const test::Bytes disk = test::ReadFileBytes(floppyPath());
    EXPECT_TRUE(std::equal(
        disk.begin(), disk.begin() + kCylindersWritten * catalogue::kCylinderBytes, image.begin()));
}

// checks that what is no floppy disk is no drive: files of procfs and sysfs, and a block device
// larger than a floppy behind a symlink
TEST_F(FloppyJob, PseudoFilesAndLargerDevicesAreNotOffered) {
    const std::string large = dir_.path("large.img");
    ASSERT_TRUE(test::WriteFileBytes(large, test::Bytes(4 * catalogue::kBootImageBytes, 0)));
    const test::LoopDevice loop(large);
    const std::string link = dir_.path("drive");
    if (loop)
        std::filesystem::create_symlink(loop.path(), link);
    else
        std::printf("no loop device for this process: the larger device is not tried\n");
    for (const std::string& drive :
         {std::string("/proc/self/comm"), std::string("/sys/kernel/uevent_seqnum"), link}) {
        if (drive == link && !loop)
            continue;
        SCOPED_TRACE(drive);
        Prepare(FullContainer(catalogue::kBootImageBytes));
        setenv("BOOTMEDIA_DRIVE_A", drive.c_str(), 1);
        CBootMediaDlg dialog;
        GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
            ASSERT_TRUE(gui.WaitUntilShown());
            EXPECT_EQ(gui.Items(res::kIdcFloppyList), std::vector<std::string>{"1049"});
            EXPECT_FALSE(gui.IsEnabled(res::kIdcCreateFloppy));
        });
    }
    EXPECT_TRUE(Untouched(large));
}
