// SPDX-License-Identifier: GPL-2.0-or-later
// The main dialog as the program shows it on the sample container, with an image-file drive
// and a file recorder, rendered into SCREENSHOT_DIR/main-dialog.png for a look.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "support/gui/GuiDriver.h"

#include <QPixmap>
#include <cstdlib>
#include <filesystem>

using guitest::GuiDriver;
using namespace dialogtest;

class Screenshot : public DialogFixture {};

// checks that the real dialog renders at its fixed size on the sample container.
TEST_F(Screenshot, MainDialogOnTheSampleContainer) {
    const std::string sample = PrepareSample();
    if (sample.empty())
        GTEST_SKIP() << "no sample container built";
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::CallOnUiThread([&] {
            const QPixmap shot = gui.Window()->grab();
            EXPECT_EQ(shot.size(), gui.Window()->size());
            std::filesystem::create_directories(SCREENSHOT_DIR);
            EXPECT_TRUE(shot.save(QString::fromUtf8(SCREENSHOT_DIR "/main-dialog.png")));
        });
    });
}
