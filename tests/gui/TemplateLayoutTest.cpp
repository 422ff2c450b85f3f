// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestDialog.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtDialogWindow.h"
#include "res/MainDialogTemplate.h"
#include "support/gui/GuiDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <gtest/gtest.h>

using fw::qt::PixelRect;
using guitest::GuiDriver;

// checks that dialog units become pixels as the dialog manager maps them for MS Sans Serif 8 at
// 96 dpi, each value on its own and rounded half up.
TEST(DialogUnits, ConvertLikeTheDialogManager) {
    struct Case {
        int x, y, width, height;
        PixelRect pixels;
    };
    const std::vector<Case> cases = {
        {0, 0, 250, 244, {0, 0, 375, 397}},    // the client area: 396.5 rounds up
        {15, 15, 15, 13, {23, 24, 23, 21}},    // 22.5 and 21.125
        {7, 122, 236, 27, {11, 198, 354, 44}}, // 10.5, 198.25, 43.875
        {168, 162, 67, 15, {252, 263, 101, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.width << "," << c.height);
        EXPECT_EQ(fw::qt::ToPixels(c.x, c.y, c.width, c.height), c.pixels);
    }
}

// checks that the window of template 101 has its fixed size and font, every control sits at its
// template rectangle in pixels (a drop-down list at its field's height), and the tab stops follow
// the template order.
TEST(MainDialogWindow, FollowsTheTemplate) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::CallOnUiThread([&] {
            QWidget* window = gui.Window();
            const QSize size(fw::qt::HorizontalPixels(res::kMainDialogWidth),
                             fw::qt::VerticalPixels(res::kMainDialogHeight));
            EXPECT_EQ(window->minimumSize(), size);
            EXPECT_EQ(window->maximumSize(), size);
            EXPECT_EQ(window->font().pixelSize(), fw::qt::kFontPixels);

            std::vector<int> tabStops;
            for (const fw::ControlTemplate& control : res::kMainDialogTemplate.controls) {
                if (control.id == fw::kIdStatic)
                    continue;
                SCOPED_TRACE(control.id);
                QWidget* widget = gui.Widget(control.id);
                ASSERT_NE(widget, nullptr);
                const PixelRect rect =
                    fw::qt::ToPixels(control.x, control.y, control.width, control.height);
                EXPECT_EQ(widget->pos(), QPoint(rect.x, rect.y));
                EXPECT_EQ(widget->width(), rect.width);
                if (qobject_cast<QComboBox*>(widget) != nullptr)
                    EXPECT_LE(widget->height(), rect.height);
                else
                    EXPECT_EQ(widget->height(), rect.height);
                if ((control.style & fw::style::kTabStop) != 0)
                    tabStops.push_back(control.id);
            }
            std::vector<int> chain;
            for (QWidget* widget = window->nextInFocusChain(); widget != window;
                 widget = widget->nextInFocusChain()) {
                if ((widget->focusPolicy() & Qt::TabFocus) != 0)
                    chain.push_back(
                        dynamic_cast<fw::qt::QtDialogWindow*>(window)->controlId(widget));
            }
            EXPECT_EQ(chain, tabStops);
        });
        EXPECT_EQ(gui.ShownText(res::kIdcStatusGroup), "Installation Status");
        EXPECT_EQ(gui.ShownText(res::kIdcCreateFloppy), "Create &Floppy");
        EXPECT_EQ(gui.Title(), "");
    });
}

// checks that the program's icon is set for its windows in both sizes of icon group 118.
TEST(MainDialogWindow, WindowIconHasBothSizes) {
    guitest::Backend();
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}
