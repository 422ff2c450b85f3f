// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestDialog.h"
#include "platform/fw/BitmapHandle.h"
#include "support/gui/GuiDriver.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

using guitest::GuiDriver;

namespace {

constexpr int kPictureWidth = 330;
constexpr int kPictureHeight = 90;
constexpr std::uint32_t kPictureColour = 0x336699;
constexpr win::WORD kPictureBits = 32;

// A picture of the layer, as CreateDIBitmap builds it from a top-down 32-bit image.
fw::BitmapHandle MakePicture(int width, int height) {
    win::BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(win::BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kPictureBits;
    info.bmiHeader.biCompression = win::BI_RGB;
    const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height),
                                            kPictureColour);
    return fw::BitmapHandle(win::CreateDIBitmap(win::GetDC(nullptr), &info.bmiHeader, win::CBM_INIT,
                                                pixels.data(), &info, win::DIB_RGB_COLORS));
}

} // namespace

// checks that a drop-down list keeps insertion order, reports the selected item's text, and
// clears the selection for an index out of range.
TEST(ComboBox, OrderAndSelection) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::ComboBox& list = dialog.m_cboFloppy;
        EXPECT_EQ(list.SetCurSel(0), fw::kNoItem); // empty
        EXPECT_EQ(list.GetCurSel(), fw::kNoItem);
        for (const char* item : {"Drive B:", "Drive A:", "Zip"})
            list.AddString(item);
        EXPECT_EQ(gui.Items(res::kIdcFloppyList),
                  (std::vector<std::string>{"Drive B:", "Drive A:", "Zip"}));
        EXPECT_EQ(list.SetCurSel(1), 1);
        EXPECT_EQ(list.GetCurSel(), 1);
        EXPECT_EQ(list.GetWindowText(), "Drive A:");
        EXPECT_EQ(list.SetCurSel(3), fw::kNoItem);
        EXPECT_EQ(list.GetCurSel(), fw::kNoItem);
        EXPECT_EQ(gui.Selection(res::kIdcFloppyList), fw::kNoItem);
        EXPECT_EQ(list.GetCount(), 3);
    });
}

// checks range, position and step as the Windows bar keeps them: the position held within the
// range, a step wrapping round past the high end, an empty range shown empty, not busy.
TEST(ProgressCtrl, RangePositionAndStep) {
    struct Case {
        const char* name;
        std::function<void(fw::ProgressCtrl&)> act;
        int pos;
        GuiDriver::Progress shown;
    };
    const std::vector<Case> cases = {
        {"position held within the range",
         [](fw::ProgressCtrl& bar) {
             bar.SetRange(0, 80);
             bar.SetPos(100);
         },
         80,
         {0, 80, 80}},
        {"range moves the position",
         [](fw::ProgressCtrl& bar) {
             bar.SetPos(50);
             bar.SetRange(0, 10);
         },
         10,
         {0, 10, 10}},
        {"step wraps past the high end",
         [](fw::ProgressCtrl& bar) {
             bar.SetRange(0, 10);
             bar.SetPos(8);
             bar.SetStep(4);
             bar.StepIt();
         },
         2,
         {0, 10, 2}},
        {"default step", [](fw::ProgressCtrl& bar) { bar.StepIt(); }, 10, {0, 100, 10}},
        {"empty range", [](fw::ProgressCtrl& bar) { bar.SetRange(0, 0); }, 0, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog dialog;
        GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
            ASSERT_TRUE(gui.WaitUntilShown());
            c.act(dialog.m_progress);
            EXPECT_EQ(dialog.m_progress.GetPos(), c.pos);
            const GuiDriver::Progress shown = gui.ProgressOf(res::kIdcProgress);
            EXPECT_EQ(shown.minimum, c.shown.minimum);
            EXPECT_EQ(shown.maximum, c.shown.maximum);
            EXPECT_EQ(shown.value, c.shown.value);
        });
    }
}

// checks that a picture static takes the size of its picture, and that a text static shows
// '&' as the Windows control does while keeping the text as set.
TEST(Static, PictureSizeAndMnemonics) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        dialog.m_stcBitmap.SetBitmap(MakePicture(kPictureWidth, kPictureHeight));
        EXPECT_EQ(gui.PictureSize(res::kIdcPicture), QSize(kPictureWidth, kPictureHeight));
        EXPECT_TRUE(guitest::WaitUntil([&] {
            return gui.Widget(res::kIdcPicture)->size() == QSize(kPictureWidth, kPictureHeight);
        }));
        dialog.m_stcStatus.SetWindowText("Floppy && CD: &ready");
        EXPECT_EQ(gui.ShownText(res::kIdcStatusText), "Floppy & CD: ready");
        EXPECT_EQ(dialog.m_stcStatus.GetWindowText(), "Floppy && CD: &ready");
    });
}

// checks that a control bound to no window ignores what it is told.
TEST(Control, UnboundIgnoresCalls) {
    fw::Button button;
    button.SetWindowText("Exit");
    button.EnableWindow(true);
    EXPECT_EQ(button.GetWindowText(), "");
    EXPECT_FALSE(button.IsWindowEnabled());
    fw::ComboBox list;
    EXPECT_EQ(list.AddString("Drive A:"), fw::kNoItem);
    fw::ProgressCtrl bar;
    EXPECT_EQ(bar.SetPos(5), 0);
    EXPECT_EQ(bar.GetPos(), 0);
}
