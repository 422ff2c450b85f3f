// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestDialog.h"
#include "platform/fw/DialogUnits.h"
#include "platform/qt/DialogFont.h"
#include "platform/qt/QtDialogWindow.h"
#include "res/MainDialogTemplate.h"
#include "support/gui/GuiDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>

using fw::BaseUnits;
using fw::DialogUnits;
using fw::PixelRect;
using guitest::GuiDriver;

// checks that a font's base units are taken as the dialog manager takes them: half the width of
// 26 letters rounded up, and the height as it stands.
TEST(DialogUnits, BaseUnitsFromFontMeasures) {
    struct Case {
        int lettersWidth, height;
        BaseUnits base;
    };
    const std::vector<Case> cases = {
        {312, 13, {6, 13}}, // the templates' font: 52 letters of 6 pixels
        {333, 12, {6, 12}}, // 6.40 a letter
        {338, 12, {7, 12}}, // 6.50 a letter rounds up
        {353, 13, {7, 13}}, // 6.79
        {0, 0, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lettersWidth);
        EXPECT_EQ(fw::BaseUnitsOfFont(c.lettersWidth, c.height), c.base);
    }
}

// checks that dialog units become pixels as the dialog manager maps them, each value on its own
// and rounded half away from zero, for the templates' font and for wider and lower ones.
TEST(DialogUnits, ConvertLikeTheDialogManager) {
    struct Case {
        BaseUnits base;
        int x, y, width, height;
        PixelRect pixels;
    };
    const std::vector<Case> cases = {
        {{6, 13}, 0, 0, 250, 244, {0, 0, 375, 397}},    // the client area: 396.5 rounds up
        {{6, 13}, 15, 15, 15, 13, {23, 24, 23, 21}},    // 22.5 and 21.125
        {{6, 13}, 7, 122, 236, 27, {11, 198, 354, 44}}, // 10.5, 198.25, 43.875
        {{6, 13}, 168, 162, 67, 15, {252, 263, 101, 24}},
        {{6, 12}, 0, 0, 250, 244, {0, 0, 375, 366}},
        {{7, 13}, 168, 162, 67, 15, {294, 263, 117, 24}}, // 117.25
        {{6, 13}, -3, -3, 1, 1, {-5, -5, 2, 2}},          // -4.5 away from zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.base.x << "x" << c.base.y << ": " << c.x << "," << c.y
                                        << "," << c.width << "," << c.height);
        EXPECT_EQ(DialogUnits(c.base).rect(c.x, c.y, c.width, c.height), c.pixels);
    }
}

// checks the dialog's font: 8 points are 11 pixels, and the face is one made to the Windows
// faces' metrics where one is installed (scripts/setup installs Liberation Sans).
TEST(DialogFont, TemplateSizeAndMetricCompatibleFace) {
    guitest::Backend();
    EXPECT_EQ(fw::qt::FontPixels(8), 11);
    EXPECT_EQ(fw::qt::FontPixels(10), 13);
    const QFont font = fw::qt::TemplateFont(res::kMainDialogTemplate);
    EXPECT_EQ(font.pixelSize(), 11);
    if (!QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
        GTEST_SKIP() << "Liberation Sans is not installed";
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(fw::qt::UnitsOf(font).base(), (BaseUnits{6, 12}));
}

// checks that the dialog keeps its font where it fits the screen, and is made smaller, just
// enough, where it does not (a 1024 x 720 screen at twice the scale, less a window frame: about
// 500 x 340 logical pixels).
TEST(DialogFont, ShrinksToFitTheScreen) {
    guitest::Backend();
    const auto& dialog = res::kMainDialogTemplate;
    const QFont font = fw::qt::TemplateFont(dialog);
    EXPECT_EQ(fw::qt::FitInto(font, dialog, QSize(1024, 768)), font);

    const QSize small(500, 340);
    const QFont fitted = fw::qt::FitInto(font, dialog, small);
    EXPECT_LT(fitted.pixelSize(), font.pixelSize());
    EXPECT_EQ(fitted.family(), font.family());
    const auto size = [&](const QFont& shown) {
        const DialogUnits units = fw::qt::UnitsOf(shown);
        return QSize(units.horizontal(dialog.width), units.vertical(dialog.height));
    };
    EXPECT_LE(size(fitted).height(), small.height());
    EXPECT_LE(size(fitted).width(), small.width());
    QFont larger = fitted;
    larger.setPixelSize(fitted.pixelSize() + 1);
    EXPECT_GT(size(larger).height(), small.height());

    // Nothing fits a tiny screen: the smallest readable size, never less.
    EXPECT_EQ(fw::qt::FitInto(font, dialog, QSize(50, 50)).pixelSize(), 6);
}

// checks that the window of template 101 has its fixed size in the units of its own font, every
// control sits at its template rectangle in those units (a drop-down list at its field's
// height), and the tab stops follow the template order.
TEST(MainDialogWindow, FollowsTheTemplate) {
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::CallOnUiThread([&] {
            auto* window = dynamic_cast<fw::qt::QtDialogWindow*>(gui.Window());
            ASSERT_NE(window, nullptr);
            const DialogUnits units = fw::qt::UnitsOf(window->font());
            EXPECT_EQ(window->units().base(), units.base());
            const QSize size(units.horizontal(res::kMainDialogWidth),
                             units.vertical(res::kMainDialogHeight));
            EXPECT_EQ(window->minimumSize(), size);
            EXPECT_EQ(window->maximumSize(), size);
            EXPECT_EQ(window->font().pixelSize(), 11);

            std::vector<int> tabStops;
            for (const fw::ControlTemplate& control : res::kMainDialogTemplate.controls) {
                if (control.id == fw::kIdStatic)
                    continue;
                SCOPED_TRACE(control.id);
                QWidget* widget = gui.Widget(control.id);
                ASSERT_NE(widget, nullptr);
                const PixelRect rect =
                    units.rect(control.x, control.y, control.width, control.height);
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
                    chain.push_back(window->controlId(widget));
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
