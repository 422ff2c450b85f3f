// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A dialog window of the Qt backend, built from a template: fixed size, its texts in the font
// that the template names or the nearest installed one, its controls at their dialog-unit
// positions in that font's units (made smaller when the window would not fit the screen). It is
// a plain top-level window, so that a message box without owner stays usable beside it;
// DoModal's modality is its own loop. As on Windows, while a box it owns is open it takes no
// input and hands activation to the box, so the keyboard always reaches the box.

#include "platform/fw/Backend.h"
#include "platform/fw/DialogTemplate.h"
#include "platform/fw/DialogUnits.h"
#include "platform/fw/WindowHandle.h"

#include <QDialog>
#include <QEventLoop>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QPushButton;

namespace fw::qt {

class QtDialogWindow final : public QDialog, public win::WindowObject, public DialogPeer {
public:
    /// Builds the window of dialog; events receives its input. onDestroyed runs in the
    /// destructor (the backend forgets the handle then).
    QtDialogWindow(const DialogTemplate& dialog, DialogEvents& events,
                   std::function<void(QtDialogWindow&)> onDestroyed);
    ~QtDialogWindow() override;

    // DialogPeer
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void setText(std::string_view text) override;
    std::string text() const override;
    WindowPeer* control(int id) override;
    int runModal() override;
    void end(int result) override;
    win::HWND handle() override { return this; }

    /// The widget of control id, or null.
    QWidget* controlWidget(int id) const;
    /// The identifier of a control's widget; 0 for any other widget.
    int controlId(const QWidget* widget) const;
    /// The dialog units of its font.
    const DialogUnits& units() const { return units_; }
    /// The window it owns that was shown last and is still open (a message box), or null.
    QWidget* openOwnedWindow() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Entry {
        QWidget* widget;
        std::unique_ptr<WindowPeer> peer;
    };

    void buildControls(const DialogTemplate& dialog);
    void focusFirstTabStop();
    QPushButton* focusedButton() const;
    /// The enabled button whose mnemonic is character, or null.
    QPushButton* buttonWithMnemonic(QChar character) const;
    void handActivationToOwnedWindow();

    DialogEvents& events_;
    std::function<void(QtDialogWindow&)> onDestroyed_;
    DialogUnits units_;
    std::map<int, Entry> controls_; // controls with an identifier; kIdStatic ones are not kept
    QWidget* picture_ = nullptr;    // named after the title for assistive technology
    std::string title_;
    QEventLoop loop_;
    bool ended_ = false;
    int result_ = 0;
};

} // namespace fw::qt
