// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/AnsiText.h"

#include "TestDialog.h"
#include "support/ScopedEnv.h"
#include "support/gui/GuiDriver.h"

#include <QWindow>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

using guitest::GuiDriver;

namespace {

constexpr const char* kCodePageVariable = "BOOTMEDIA_CODEPAGE";

} // namespace

// checks that container texts are decoded from the configured code page, with Windows-1252 by
// default and for a code page iconv does not know, a byte Windows-1252 leaves undefined shown as
// the control character Windows gives it, and an undefined byte of another code page as U+FFFD.
TEST(AnsiText, DecodesTheCodePage) {
    struct Case {
        const char* codePage;
        const char* text;
        const char16_t* shown;
    };
    const std::vector<Case> cases = {
        {nullptr, "Caf\xE9 \x80 5", u"Caf\u00E9 \u20AC 5"},
        {nullptr, "A\x81Z\x9D", u"A\u0081Z\u009D"},
        {"1251", "A\x98Z", u"A\uFFFDZ"},
        {"1251", "\xC4\xE8\xF1\xEA", u"\u0414\u0438\u0441\u043A"},
        {"KOI8-R", "\xE4\xC9\xD3\xCB", u"\u0414\u0438\u0441\u043A"},
        {"NO-SUCH-PAGE", "\x80", u"\u20AC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage != nullptr ? c.codePage : "default");
        test::ScopedEnv setting(kCodePageVariable, c.codePage);
        EXPECT_EQ(fw::qt::FromAnsi(c.text), QString::fromUtf16(c.shown));
    }
}

// checks that a title is shown as written, even with Qt's modified-placeholder in it, and a
// static hides its mnemonic marks.
TEST(AnsiText, TitlesAndMnemonicsShowAsOnWindows) {
    struct Case {
        const char* text;
        const char* static_;
    };
    const std::vector<Case> cases = {
        {"&Exit", "Exit"}, {"Tom && Jerry", "Tom & Jerry"}, {"trailing&", "trailing"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fw::qt::WithoutMnemonics(QString::fromLatin1(c.text)),
                  QString::fromLatin1(c.static_));
    }
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        dialog.SetWindowText("Boot [*] Media");
        EXPECT_EQ(dialog.GetWindowText(), "Boot [*] Media");
        fw::CallOnUiThread(
            [&] { EXPECT_EQ(gui.Window()->windowHandle()->title(), "Boot [*] Media"); });
    });
}
