// SPDX-License-Identifier: GPL-2.0-or-later
// The main dialog after start-up: what each control shows and whether it takes input.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "app/JobState.h"
#include "platform/MessageBoxPresenter.h"
#include "res/ResourceIds.h"
#include "resfile/Catalogue.h"
#include "support/ProcessState.h"
#include "support/gui/GuiDriver.h"

#include <cstdio>

using guitest::GuiDriver;
using namespace dialogtest;

namespace {

struct Shown {
    std::string status;
    std::vector<std::string> floppies, recorders;
    bool floppyList, floppyButton, recorderList, cdButton, exitButton;
};

Shown RunAndLook(CBootMediaDlg& dialog) {
    Shown shown{};
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        shown = {gui.Text(res::kIdcStatusText),        gui.Items(res::kIdcFloppyList),
                 gui.Items(res::kIdcRecorderList),     gui.IsEnabled(res::kIdcFloppyList),
                 gui.IsEnabled(res::kIdcCreateFloppy), gui.IsEnabled(res::kIdcRecorderList),
                 gui.IsEnabled(res::kIdcCreateCd),     gui.IsEnabled(res::kIdcExit)};
    });
    return shown;
}

using Strings = std::vector<std::string>;

} // namespace

class Startup : public DialogFixture {};

// checks each start-up path: the status line, the two lists and which controls take input.
TEST_F(Startup, PathsShowTheirStatusListsAndControls) {
    const struct {
        const char* name;
        std::optional<std::uint32_t> imageSize;
        Devices devices;
        bool nocd;
        Shown expected;
    } cases[] = {
        {"drives and a recorder",
         catalogue::kBootImageBytes,
         {},
         false,
         {"1010 A", {"1037 A"}, {"1037 E"}, true, true, true, true, true}},
        {"image one byte short",
         catalogue::kBootImageBytes - 1,
         {},
         false,
         {"1012 install.dat", {"1049"}, {"1039"}, false, false, false, false, true}},
        {"image one byte long",
         catalogue::kBootImageBytes + 1,
         {},
         false,
         {"1012 install.dat", {"1049"}, {"1039"}, false, false, false, false, true}},
        {"no image entry",
         std::nullopt,
         {},
         false,
         {"1012 install.dat", {"1049"}, {"1039"}, false, false, false, false, true}},
        {"no drive at all",
         catalogue::kBootImageBytes,
         {false, false},
         false,
         {"1013", {"1049"}, {"1039"}, false, false, false, false, true}},
        {"recorder but no floppy",
         catalogue::kBootImageBytes,
         {false, true},
         false,
         {"1010 @", {"1049"}, {"1037 E"}, false, false, true, true, true}},
        {"nocd, valid image",
         catalogue::kBootImageBytes,
         {},
         true,
         {"1010 A", {"1037 A"}, {"1039"}, true, true, false, false, true}},
        {"nocd, invalid image",
         catalogue::kBootImageBytes - 1,
         {},
         true,
         {"1012 install.dat", {"1049"}, {}, false, false, true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ResetProcessState();
        Prepare(FullContainer(c.imageSize), c.devices);
        CBootMediaDlg dialog;
        if (c.nocd)
            dialog.EnableCd(false);
        const Shown shown = RunAndLook(dialog);
        EXPECT_EQ(shown.status, c.expected.status);
        EXPECT_EQ(shown.floppies, c.expected.floppies);
        EXPECT_EQ(shown.recorders, c.expected.recorders);
        EXPECT_EQ(shown.floppyList, c.expected.floppyList);
        EXPECT_EQ(shown.floppyButton, c.expected.floppyButton);
        EXPECT_EQ(shown.recorderList, c.expected.recorderList);
        EXPECT_EQ(shown.cdButton, c.expected.cdButton);
        EXPECT_EQ(shown.exitButton, c.expected.exitButton);
    }
}

// checks that every label, the title and the picture come from the container.
TEST_F(Startup, TextsAndPictureComeFromTheContainer) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        EXPECT_EQ(gui.Title(), "1000");
        const struct {
            int control;
            const char* text;
        } labels[] = {{res::kIdcProgressGroup, "1001"}, {res::kIdcStatusGroup, "1002"},
                      {res::kIdcCreateFloppy, "1035"},  {res::kIdcExit, "1004"},
                      {res::kIdcFloppyGroup, "1033"},   {res::kIdcCdGroup, "1034"},
                      {res::kIdcCreateCd, "1036"}};
        for (const auto& label : labels)
            EXPECT_EQ(gui.Text(label.control), label.text) << label.control;
        EXPECT_FALSE(gui.PictureSize(res::kIdcPicture).isEmpty());
        EXPECT_EQ(gui.Selection(res::kIdcFloppyList), 0);
        EXPECT_EQ(gui.Selection(res::kIdcRecorderList), 0);
    });
}

// checks that a container holding only the boot image still gives a working dialog with empty
// texts.
TEST_F(Startup, ContainerWithOnlyTheImage) {
    test::ContainerBuilder container;
    container.add(catalogue::kBootImage, BootImage(catalogue::kBootImageBytes));
    Prepare(container);
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        EXPECT_EQ(gui.Title(), "");
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "");
        EXPECT_EQ(gui.Items(res::kIdcFloppyList), Strings{""});
        EXPECT_TRUE(gui.IsEnabled(res::kIdcCreateFloppy));
    });
}

// checks that without install.dat the program shows its one fixed message and ends with 0.
TEST_F(Startup, MissingContainerShowsFixedMessageAndExits) {
    // The child starts afresh: forking a process that runs a UI thread is not safe.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Printer : platform::MessageBoxPresenter {
        int show(win::HWND owner, const char* text, const char* caption, win::UINT type) override {
            std::fprintf(stderr, "BOX[%s|%s|%u|%s]", text, caption, type, owner ? "owned" : "free");
            return win::IDOK;
        }
    };
    EXPECT_EXIT(
        {
            Printer printer;
            platform::SetMessageBoxPresenter(&printer);
            CBootMediaDlg dialog;
            dialog.DoModal();
            std::fputs("dialog shown", stderr);
        },
        testing::ExitedWithCode(0),
        "^BOX\\[Could not load Image and Resource file\\.\\|Error\\|0\\|free\\]$");
}

// checks Exit: while a job runs it only asks the job to stop; otherwise it shows 1015, closes
// the container and ends the dialog with 0.
TEST_F(Startup, ExitEndsOnlyWhileIdle) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    CBootMediaDlg dialog;
    std::string statusAtEnd;
    const int result = GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        JobState.busy = true;
        gui.Click(res::kIdcExit);
        ASSERT_TRUE(guitest::WaitUntil([] { return JobState.cancelRequested.load(); }));
        EXPECT_TRUE(gui.IsShown());
        JobState.busy = false;
        gui.Click(res::kIdcExit);
        guitest::WaitUntil([&] { return !gui.IsShown(); });
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(win::CloseHandle(JobState.resourceFile)) << "the container stayed open";
}

// checks the close box and the Enter and Escape keys: kept while a job is early or running,
// honoured otherwise.
TEST_F(Startup, CloseAndKeysAreGuardedDuringAJob) {
    Prepare(FullContainer(catalogue::kBootImageBytes));
    const struct {
        const char* name;
        bool busy;
        std::int32_t progress;
        int key; // 0: the close box
        bool ends;
    } cases[] = {
        {"close, progress 0", true, 0, 0, false},
        {"close, progress 1", true, 1, 0, false},
        {"close, progress 2", true, 2, 0, true},
        {"close, idle", false, 0, 0, true},
        {"escape, busy", true, 5, Qt::Key_Escape, false},
        {"enter, busy", true, 5, Qt::Key_Return, false},
        {"escape, idle", false, 0, Qt::Key_Escape, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CBootMediaDlg dialog;
        JobState.closeRequested = false;
        GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
            ASSERT_TRUE(gui.WaitUntilShown());
            JobState.busy = c.busy;
            JobState.progress = c.progress;
            if (c.key)
                gui.PressKey(c.key);
            else
                gui.Close();
            const bool ended = guitest::WaitUntil([&] { return !gui.IsShown(); },
                                                  std::chrono::milliseconds(c.ends ? 5000 : 300));
            EXPECT_EQ(ended, c.ends);
            EXPECT_EQ(JobState.closeRequested.load(), !c.ends && !c.key);
            JobState.busy = false;
            JobState.progress = 0;
        });
    }
}
