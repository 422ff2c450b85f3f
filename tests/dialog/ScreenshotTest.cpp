// SPDX-License-Identifier: GPL-2.0-or-later
// The main dialog as the program shows it, with an image-file drive and a file recorder, rendered
// into SCREENSHOT_DIR for a look: on the sample container (main-dialog.png), and on a German one
// whose texts run a third longer (main-dialog-german-length.png), where no text may be cut.
#include "DialogFixture.h"
#include "app/BootMediaDlg.h"
#include "res/ResourceIds.h"
#include "support/GermanLengthContainer.h"
#include "support/gui/GuiDriver.h"
#include "support/gui/TextFit.h"

#include <QPixmap>
#include <cstdlib>
#include <filesystem>

using guitest::GuiDriver;
using namespace dialogtest;

namespace {

constexpr int kControlsWithText[] = {
    res::kIdcProgressGroup, res::kIdcStatusGroup, res::kIdcFloppyGroup, res::kIdcCdGroup,
    res::kIdcCreateFloppy,  res::kIdcExit,        res::kIdcCreateCd,    res::kIdcFloppyList,
    res::kIdcRecorderList,  res::kIdcStatusText,
};

// Saves the dialog's window as name in SCREENSHOT_DIR, and checks that no control's text is cut.
void ShootWhole(GuiDriver& gui, const char* name) {
    ASSERT_TRUE(gui.WaitUntilShown());
    fw::CallOnUiThread([&] {
        for (const int id : kControlsWithText) {
            SCOPED_TRACE(id);
            EXPECT_EQ(guitest::CutText(*gui.Widget(id)), "");
        }
        const QPixmap shot = gui.Window()->grab();
        EXPECT_EQ(shot.size(), gui.Window()->size());
        std::filesystem::create_directories(SCREENSHOT_DIR);
        EXPECT_TRUE(shot.save(QString::fromUtf8(SCREENSHOT_DIR "/") + QString::fromUtf8(name)));
    });
}

} // namespace

class Screenshot : public DialogFixture {};

// checks that the real dialog renders at its fixed size on the sample container, every text
// whole.
TEST_F(Screenshot, MainDialogOnTheSampleContainer) {
    const std::string sample = PrepareSample();
    if (sample.empty())
        GTEST_SKIP() << "no sample container built";
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) { ShootWhole(gui, "main-dialog.png"); });
}

// checks that German texts, a third longer than the sample's, show whole in the real dialog.
TEST_F(Screenshot, MainDialogOnAGermanLengthContainer) {
    const std::string sample = PrepareSample();
    if (sample.empty())
        GTEST_SKIP() << "no sample container built";
    ASSERT_TRUE(test::ContainerWithTexts(test::ContainerEntries(sample), test::GermanLengthTexts())
                    .write(dir_.path("install.dat")));
    CBootMediaDlg dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        EXPECT_EQ(gui.ShownText(res::kIdcCreateFloppy), "&Diskette erstellen");
        ShootWhole(gui, "main-dialog-german-length.png");
    });
}
