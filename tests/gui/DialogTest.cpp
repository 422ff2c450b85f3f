// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestDialog.h"
#include "platform/MessageBox.h"
#include "support/gui/GuiDriver.h"

#include <QPushButton>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <thread>

using namespace win;
using guitest::GuiDriver;

namespace {

bool Contains(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// A dialog that binds a control its template lacks.
class WrongBindingDialog : public fw::Dialog {
public:
    WrongBindingDialog() : fw::Dialog(res::kIddMainDialog) {}
    bool exchanged = true;

protected:
    static constexpr int kMissingId = 4242;
    void DoDataExchange(fw::DataExchange& dx) override { fw::DDX_Control(dx, kMissingId, button_); }
    bool OnInitDialog() override {
        exchanged = fw::Dialog::OnInitDialog() && UpdateData(false);
        EndDialog(0);
        return true;
    }

private:
    fw::Button button_;
};

} // namespace

// checks that initialisation comes before the show notification and that a mapped click ends
// the dialog with its handler's result.
TEST(Dialog, InitShowThenMappedClick) {
    guitest::Backend();
    TestDialog dialog;
    const int result = GuiDriver::RunModal(dialog, [](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.Click(res::kIdcExit);
        EXPECT_TRUE(guitest::WaitUntil([&] { return !gui.IsShown(); }));
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init", "show", "exit"}));
}

// checks that Escape, Enter and the close button reach OnCancel, OnOK (or the focused button)
// and OnClose, and end the dialog with their results.
TEST(Dialog, KeysAndCloseReachTheirHandlers) {
    struct Case {
        const char* name;
        int focus; ///< the control to focus first; 0 leaves the initial focus
        std::function<void(GuiDriver&)> act;
        std::string handler;
        int result;
    };
    const std::vector<Case> cases = {
        {"escape", 0, [](GuiDriver& gui) { gui.PressKey(Qt::Key_Escape); }, "cancel", IDCANCEL},
        {"close", 0, [](GuiDriver& gui) { gui.Close(); }, "close", IDCANCEL},
        {"enter on a list", res::kIdcFloppyList,
         [](GuiDriver& gui) { gui.PressKey(Qt::Key_Return); }, "ok", IDOK},
        {"enter on the focused button", 0, [](GuiDriver& gui) { gui.PressKey(Qt::Key_Return); },
         "floppy", guitest::kEndedByScript},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog dialog;
        const int result = GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
            ASSERT_TRUE(gui.WaitUntilShown());
            if (c.focus != 0) {
                ASSERT_TRUE(guitest::WaitUntil([&] {
                    gui.Widget(c.focus)->setFocus();
                    return gui.FocusedControl() == c.focus;
                }));
            }
            c.act(gui);
            EXPECT_TRUE(guitest::WaitUntil([&] { return Contains(dialog.calls, c.handler); }));
        });
        EXPECT_EQ(result, c.result);
    }
}

// checks that handlers that refuse to end keep the window open, and a disabled button ignores
// clicks.
TEST(Dialog, RefusingHandlersAndDisabledButtonsKeepTheWindow) {
    TestDialog dialog;
    dialog.mayEnd = false;
    dialog.onInit = [](TestDialog& self) { self.m_btnExit.EnableWindow(false); };
    const int result = GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        gui.PressKey(Qt::Key_Escape);
        gui.Close();
        gui.Click(res::kIdcExit);
        ASSERT_TRUE(guitest::WaitUntil([&] { return Contains(dialog.calls, "close"); }));
        EXPECT_TRUE(gui.IsShown());
        EXPECT_FALSE(Contains(dialog.calls, "exit"));
        dialog.m_btnExit.EnableWindow(true);
        gui.Click(res::kIdcExit);
    });
    EXPECT_EQ(result, 0);
}

// checks that the initial focus skips a disabled tab stop, and that EndDialog during
// initialisation ends the dialog before it is ever shown.
TEST(Dialog, InitialFocusAndEndingDuringInit) {
    TestDialog focused;
    focused.onInit = [](TestDialog& self) { self.m_btnFloppy.EnableWindow(false); };
    GuiDriver::RunModal(focused, [](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        EXPECT_EQ(gui.FocusedControl(), res::kIdcExit);
    });

    constexpr int kResult = 7;
    TestDialog ended;
    ended.onInit = [](TestDialog& self) { self.EndDialog(kResult); };
    EXPECT_EQ(ended.DoModal(), kResult);
    EXPECT_EQ(ended.calls, (std::vector<std::string>{"init"}));
}

// checks that DoModal refuses a template that does not exist and a call from another thread.
TEST(Dialog, DoModalRefusesWhatItCannotRun) {
    guitest::Backend();
    class NoTemplate : public fw::Dialog {
    public:
        NoTemplate() : fw::Dialog(999) {}
    } missing;
    EXPECT_EQ(missing.DoModal(), fw::kDialogFailed);

    TestDialog dialog;
    int result = 0;
    std::thread([&] { result = dialog.DoModal(); }).join();
    EXPECT_EQ(result, fw::kDialogFailed);
}

// checks that data exchange pushes the member into the control at initialisation and reads the
// control back, and that a binding to a missing control fails the exchange.
TEST(Dialog, DataExchangeBothWays) {
    TestDialog dialog;
    dialog.m_strStatus = "Ready";
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        EXPECT_EQ(gui.Text(res::kIdcStatusText), "Ready");
        dialog.m_stcStatus.SetWindowText("Writing");
        EXPECT_TRUE(dialog.UpdateData(true));
    });
    EXPECT_EQ(dialog.m_strStatus, "Writing");

    WrongBindingDialog wrong;
    wrong.DoModal();
    EXPECT_FALSE(wrong.exchanged);
}

// checks that a second run of the same dialog binds its controls to the new window afresh.
TEST(Dialog, SecondRunStartsControlsAfresh) {
    constexpr int kPosition = 40;
    TestDialog dialog;
    dialog.onInit = [](TestDialog& self) { self.m_progress.SetPos(kPosition); };
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        EXPECT_EQ(dialog.m_progress.GetPos(), kPosition);
    });
    dialog.onInit = nullptr;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        EXPECT_EQ(dialog.m_progress.GetPos(), fw::ProgressCtrl::kDefaultLow);
        EXPECT_EQ(gui.ProgressOf(res::kIdcProgress).value, fw::ProgressCtrl::kDefaultLow);
    });
}

// checks that no button is made the default one the template does not name: none wears the
// default look, wherever the focus is, and Enter on a list stays the dialog's OK key.
TEST(Dialog, NoDefaultButtonUnlessTheTemplateNamesOne) {
    TestDialog dialog;
    const int result = GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        for (const int focus : {res::kIdcCreateFloppy, res::kIdcFloppyList, res::kIdcExit}) {
            SCOPED_TRACE(focus);
            ASSERT_TRUE(guitest::WaitUntil([&] {
                gui.Widget(focus)->setFocus();
                return gui.FocusedControl() == focus;
            }));
            fw::CallOnUiThread([&] {
                for (QPushButton* button : gui.Window()->findChildren<QPushButton*>()) {
                    EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
                    EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
                }
            });
        }
        ASSERT_TRUE(guitest::WaitUntil([&] {
            gui.Widget(res::kIdcFloppyList)->setFocus();
            return gui.FocusedControl() == res::kIdcFloppyList;
        }));
        gui.PressKey(Qt::Key_Return);
        EXPECT_TRUE(guitest::WaitUntil([&] { return Contains(dialog.calls, "ok"); }));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(Contains(dialog.calls, "exit"));
}

// checks that a button's mnemonic letter alone presses it while a button has the focus, as the
// Windows dialog manager does, but not while a list has it (the list takes letters itself), and
// not for a disabled button.
TEST(Dialog, BareMnemonicPressesAButton) {
    struct Case {
        const char* name;
        int focus;
        bool floppyEnabled;
        bool pressed;
    };
    const std::vector<Case> cases = {
        {"on a button", res::kIdcExit, true, true},
        {"on a list", res::kIdcFloppyList, true, false},
        {"disabled", res::kIdcExit, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog dialog;
        dialog.onInit = [&](TestDialog& self) { self.m_btnFloppy.EnableWindow(c.floppyEnabled); };
        GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
            ASSERT_TRUE(gui.WaitUntilShown());
            ASSERT_TRUE(guitest::WaitUntil([&] {
                gui.Widget(c.focus)->setFocus();
                return gui.FocusedControl() == c.focus;
            }));
            gui.PressKey(Qt::Key_F); // "Create &Floppy"
            if (c.pressed) {
                EXPECT_TRUE(guitest::WaitUntil([&] { return Contains(dialog.calls, "floppy"); }));
                EXPECT_EQ(gui.FocusedControl(), res::kIdcCreateFloppy);
            } else {
                gui.IsShown(); // the key has been handled once a later query has run
                fw::CallOnUiThread([&] { EXPECT_FALSE(Contains(dialog.calls, "floppy")); });
            }
        });
    }
}

// checks that the fixed dialog refuses to be maximised or made full screen, whoever asks (a
// window manager's menu, a keyboard shortcut), and keeps its size.
TEST(Dialog, StaysAFixedWindow) {
    for (const Qt::WindowState state : {Qt::WindowFullScreen, Qt::WindowMaximized}) {
        SCOPED_TRACE(state);
        TestDialog dialog;
        GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
            ASSERT_TRUE(gui.WaitUntilShown());
            QSize size;
            fw::CallOnUiThread([&] {
                size = gui.Window()->size();
                gui.Window()->windowHandle()->setWindowStates(state);
            });
            EXPECT_TRUE(guitest::WaitUntil([&] {
                return gui.Window()->windowState() == Qt::WindowNoState &&
                       gui.Window()->size() == size;
            }));
        });
    }
}
