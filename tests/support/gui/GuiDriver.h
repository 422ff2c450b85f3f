// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Drives dialogs of the Qt backend in tests, offscreen. The test's own thread is the UI thread:
// RunModal runs the dialog there while a script on a second thread acts as the user and looks at
// the controls. User actions (clicks, keys, close, answering a box) are posted, as the window
// system posts input, and return at once; queries wait for the UI thread and return its answer.
//
//     const int result = guitest::GuiDriver::RunModal(dialog, [](guitest::GuiDriver& gui) {
//         ASSERT_TRUE(gui.WaitUntilShown());
//         gui.Click(res::kIdcCreateFloppy);
//         auto box = guitest::WaitForMessageBox();
//         ...
//         guitest::AnswerMessageBox(IDCANCEL);
//     });

#include "platform/fw/Dialog.h"
#include "platform/qt/QtBackend.h"

#include <QMessageBox>
#include <QSize>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace guitest {

using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kDefaultWait = 5s;
/// What DoModal returns when the script ended with the dialog still open.
inline constexpr int kEndedByScript = -2;
/// What DoModal returns when the script overran its time (the test fails too).
inline constexpr int kTimedOut = -3;

/// The process's Qt backend with the program's resources, on the offscreen platform; made on
/// first use, on the calling thread (which becomes the UI thread), with its QApplication.
fw::qt::QtBackend& Backend();

/// An open message box as the user sees it. Texts in UTF-8.
struct ShownBox {
    std::string text;
    std::string caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool question = false;      ///< OK and Cancel; otherwise OK alone
    bool ownedByDialog = false; ///< a dialog window is its owner
    bool modal = false;         ///< blocks input to its owner
    int fontPixels = 0;         ///< its text's size
    std::string okLabel;        ///< its buttons as labelled
    std::string cancelLabel;    ///< "" for a box without Cancel
};

/// Waits for an open message box (the first shown, if several). Not on the UI thread.
std::optional<ShownBox> WaitForMessageBox(std::chrono::milliseconds timeout = kDefaultWait);

/// Posts a click on the IDOK or IDCANCEL button of the first open box; false when there is
/// none. Not on the UI thread.
bool AnswerMessageBox(int answer);

/// Posts a key press (Qt::Key_Escape, Qt::Key_Return, ...) to the first open box.
bool PressKeyInMessageBox(int key);

/// Posts a key press to the window that has the keyboard, wherever the user's key would go.
void PressKeyInActiveWindow(int key);

/// The window that has the keyboard, or null. UI thread.
QWidget* ActiveWindow();

/// Waits until condition, evaluated on the UI thread, holds. Not on the UI thread.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kDefaultWait);

class GuiDriver {
public:
    using Script = std::function<void(GuiDriver&)>;

    /// Runs dialog.DoModal() on the calling thread while script runs on a thread of its own, and
    /// returns DoModal's result. A dialog still open when the script ends is ended with
    /// kEndedByScript; past timeout, open boxes are closed, the dialog is ended with kTimedOut
    /// and the test fails.
    static int RunModal(fw::Dialog& dialog, const Script& script,
                        std::chrono::milliseconds timeout = 4 * kDefaultWait);

    /// Waits until the dialog's window is on screen.
    bool WaitUntilShown(std::chrono::milliseconds timeout = kDefaultWait);
    bool IsShown() const;

    // User actions, posted.
    /// A left click in the middle of control id: ignored by a disabled control and while a
    /// modal box blocks the dialog, as the user's would be.
    void Click(int id);
    /// A key press to the dialog's focused control.
    void PressKey(int key);
    /// The title bar's close button.
    void Close();
    /// The window manager activates the dialog's window (as when the user clicks on it).
    void Activate();

    // What the controls show.
    bool IsEnabled(int id) const;
    /// The text as last set, in ANSI.
    std::string Text(int id) const;
    /// What the control shows (a button's label, a static's text), in UTF-8.
    std::string ShownText(int id) const;
    std::string Title() const;
    std::vector<std::string> Items(int id) const;
    int Selection(int id) const;
    struct Progress {
        int minimum;
        int maximum;
        int value;
    };
    Progress ProgressOf(int id) const;
    /// The size of the picture a static shows; empty for none.
    QSize PictureSize(int id) const;
    /// The identifier of the control that has the focus, or 0.
    int FocusedControl() const;

    /// The widget of control id. UI thread only (inside WaitUntil or OnUiThread).
    QWidget* Widget(int id) const;
    /// The dialog's window. UI thread only.
    QWidget* Window() const;

private:
    explicit GuiDriver(fw::Dialog& dialog) : dialog_(dialog) {}
    /// Posts action to the UI thread without waiting.
    void Post(const std::function<void()>& action) const;

    fw::Dialog& dialog_;
};

} // namespace guitest
