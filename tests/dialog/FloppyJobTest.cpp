// SPDX-License-Identifier: GPL-2.0-or-later
// Create Floppy from the dialog onto an image-file drive: the question, the job's look, the
// monitor's progress and outcome, and the bytes on the disk.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "res/ResourceIds.h"
#include "resfile/Catalogue.h"
#include "support/DiscTools.h"
#include "support/ScriptedDevices.h"
#include "support/gui/GuiDriver.h"

#include <algorithm>
#include <cstdio>
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

} // namespace

class FloppyJob : public DialogFixture {};

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

// checks that a lock the drive refuses is reported as a cancelled job after the writer's box,
// and nothing is written.
TEST_F(FloppyJob, RefusedLockIsReportedAsCancelled) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        // Another holder of the backing: the volume lock fails.
        platform::FileHandle holder(win::CreateFileA(floppyPath().c_str(),
                                                     win::GENERIC_READ | win::GENERIC_WRITE, 0,
                                                     nullptr, win::OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        StartFloppyJob(gui);
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
    });
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

// Slows each write down so that the monitor's 100 ms polls see the job's stages.
floppytest::VolumeScript SlowWrites(std::chrono::milliseconds first,
                                    std::chrono::milliseconds each) {
    return floppytest::BeforeWrite(
        [=](int n) { std::this_thread::sleep_for(n == 1 ? first : each); });
}

constexpr std::int32_t kAllCylinders = static_cast<std::int32_t>(catalogue::kCylinders);

} // namespace

// checks an 80-cylinder job: the status runs from (1, 80) to (80, 80), the bar's range is the
// job's own count, and Create Floppy comes back as the job's cancel once the write is under way.
TEST_F(FloppyJob, EightyCylindersShowEveryStage) {
    Prepare(FullImageContainer());
    auto log = std::make_shared<floppytest::DeviceLog>();
    auto mount = floppytest::MountScriptedVolume(
        'A', floppyPath(),
        SlowWrites(std::chrono::milliseconds(400), std::chrono::milliseconds(10)), log);
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
    EXPECT_EQ(log->writes, kAllCylinders);
    const test::Bytes container = FullImageContainer().bytes();
    EXPECT_EQ(test::ReadFileBytes(floppyPath()),
              test::Bytes(container.end() - catalogue::kBootImageBytes, container.end()));
}

// checks that Create Floppy during a job cancels it after the current cylinder: the warning box,
// a bar that never fills, and exactly the cylinders written so far on the disk.
TEST_F(FloppyJob, ClickDuringTheJobCancelsIt) {
    Prepare(FullImageContainer());
    auto log = std::make_shared<floppytest::DeviceLog>();
    auto mount = floppytest::MountScriptedVolume(
        'A', floppyPath(), SlowWrites(std::chrono::milliseconds(30), std::chrono::milliseconds(30)),
        log);
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
    ASSERT_GT(log->writes, 2);
    ASSERT_LT(log->writes, kAllCylinders);
    const test::Bytes disk = test::ReadFileBytes(floppyPath());
    const test::Bytes container = FullImageContainer().bytes();
    const auto image = container.end() - catalogue::kBootImageBytes;
    const std::size_t written = static_cast<std::size_t>(log->writes) * catalogue::kCylinderBytes;
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
    auto log = std::make_shared<floppytest::DeviceLog>();
    auto mount = floppytest::MountScriptedVolume(
        'A', floppyPath(),
        SlowWrites(std::chrono::milliseconds(300), std::chrono::milliseconds(100)), log);
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
