// SPDX-License-Identifier: GPL-2.0-or-later
// Renders the main dialog as the program shows it after start-up, with the sample container's
// texts and picture when the build made one, into SCREENSHOT_DIR/main-dialog.png.
#include "platform/fw/ComboBox.h"
#include "platform/fw/Dialog.h"
#include "platform/fw/ProgressCtrl.h"
#include "platform/fw/Static.h"
#include "res/MainDialogTemplate.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"
#include "resfile/ResourceFile.h"
#include "support/gui/GuiDriver.h"

#include <QPixmap>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace win;
using guitest::GuiDriver;

namespace {

constexpr int kDriveLetterA = 'A';
constexpr int kDrivesShown = 2;
constexpr int kRecorderLetter = 'D';

// The labelled controls and the container texts that replace their placeholders.
struct Label {
    int id;
    ResourceId text;
};
constexpr std::array<Label, 7> kLabels = {{
    {res::kIdcProgressGroup, catalogue::kProgressGroupLabel},
    {res::kIdcStatusGroup, catalogue::kStatusGroupLabel},
    {res::kIdcCreateFloppy, catalogue::kFloppyButtonLabel},
    {res::kIdcExit, catalogue::kExitLabel},
    {res::kIdcFloppyGroup, catalogue::kFloppyGroupLabel},
    {res::kIdcCdGroup, catalogue::kCdGroupLabel},
    {res::kIdcCreateCd, catalogue::kCdButtonLabel},
}};

class SampleDialog : public fw::Dialog {
public:
    explicit SampleDialog(win::HANDLE container)
        : fw::Dialog(res::kIddMainDialog), container_(container) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override {
        for (std::size_t i = 0; i < kLabels.size(); ++i)
            fw::DDX_Control(dx, kLabels[i].id, labels_[i]);
        fw::DDX_Control(dx, res::kIdcPicture, picture_);
        fw::DDX_Control(dx, res::kIdcStatusText, status_);
        fw::DDX_Control(dx, res::kIdcFloppyList, floppies_);
        fw::DDX_Control(dx, res::kIdcRecorderList, recorders_);
    }
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        if (container_ == INVALID_HANDLE_VALUE)
            return true;
        picture_.SetBitmap(fw::BitmapHandle(LoadResourceBitmap(container_, catalogue::kPicture)));
        SetWindowText(ReadResourceText(container_, catalogue::kDialogTitle).get());
        for (std::size_t i = 0; i < kLabels.size(); ++i)
            labels_[i].SetWindowText(ReadResourceText(container_, kLabels[i].text).get());
        const ResourceText entry = ReadResourceText(container_, catalogue::kDriveEntryFormat);
        for (int drive = 0; drive < kDrivesShown; ++drive)
            floppies_.AddString(
                format::FormatDriveEntry(entry.get(), kDriveLetterA + drive).c_str());
        floppies_.SetCurSel(0);
        recorders_.AddString(format::FormatDriveEntry(entry.get(), kRecorderLetter).c_str());
        recorders_.SetCurSel(0);
        const ResourceText idle = ReadResourceText(container_, catalogue::kIdleStatusFormat);
        status_.SetWindowText(format::FormatResource(catalogue::kIdleStatusFormat, idle.get(),
                                                     {format::Arg::character(kDriveLetterA)})
                                  .c_str());
        return true;
    }

private:
    win::HANDLE container_;
    std::array<fw::Static, kLabels.size()> labels_;
    fw::Static picture_;
    fw::Static status_;
    fw::ComboBox floppies_;
    fw::ComboBox recorders_;
};

} // namespace

// checks that the dialog renders at its fixed size, and leaves the picture for a look.
TEST(Screenshot, MainDialogRendersAtItsSize) {
    const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
    const HANDLE container = sample != nullptr && std::filesystem::exists(sample)
                                 ? OpenResourceFile(sample, true)
                                 : INVALID_HANDLE_VALUE;
    SampleDialog dialog(container);
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::CallOnUiThread([&] {
            const QPixmap shot = gui.Window()->grab();
            EXPECT_EQ(shot.size(), gui.Window()->size());
            std::filesystem::create_directories(SCREENSHOT_DIR);
            EXPECT_TRUE(shot.save(QString::fromUtf8(SCREENSHOT_DIR "/main-dialog.png")));
        });
    });
    if (container != INVALID_HANDLE_VALUE)
        CloseResourceFile(container);
}
