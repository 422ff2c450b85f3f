// SPDX-License-Identifier: GPL-2.0-or-later
// Create Floppy from the dialog onto an image-file drive: the question, the job's look, the
// monitor's progress and outcome, and the bytes on the disk.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "res/ResourceIds.h"
#include "resfile/Catalogue.h"
#include "support/gui/GuiDriver.h"

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

        ASSERT_TRUE(guitest::WaitUntil([&] { return gui.IsEnabled(res::kIdcExit); }));
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
        gui.Click(res::kIdcCreateFloppy);
        ASSERT_TRUE(guitest::WaitForMessageBox());
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
        ASSERT_TRUE(guitest::WaitUntil([&] { return gui.IsEnabled(res::kIdcExit); }));
    });
    EXPECT_EQ(DiskPrefix(floppyPath(), catalogue::kCylinderBytes),
              test::Bytes(catalogue::kCylinderBytes, 0));
}
