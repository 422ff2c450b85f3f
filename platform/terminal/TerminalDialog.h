// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A dialog of the terminal backend, built from a template: a framed window centred on the
// screen with its title in the top line, its controls at their dialog-unit places in cells.
// Keys: Tab and Shift-Tab move the focus; the arrows change the focused list's selection (on a
// button they move the focus); Enter or space press the focused button (Enter elsewhere is the
// dialog's OK key); a button's mnemonic letter, alone or with Alt, presses it; Escape is the
// cancel key; F10 asks to close the window, as its close button would.

#include "platform/fw/Backend.h"
#include "platform/fw/DialogTemplate.h"
#include "platform/fw/WindowHandle.h"
#include "platform/terminal/TerminalControls.h"

#include <curses.h>
#include <memory>
#include <string>
#include <vector>

namespace fw::term {

class TerminalBackend;

/// A key as the loop read it: a curses key code or character, and whether Alt came with it.
struct Key {
    int code = 0;
    bool alt = false;
};

inline constexpr int kCloseKey = KEY_F(10);

class TerminalDialog final : public DialogPeer, public win::WindowObject {
public:
    TerminalDialog(const DialogTemplate& dialog, DialogEvents& events, TerminalBackend& host);
    ~TerminalDialog() override;
    TerminalDialog(const TerminalDialog&) = delete;
    TerminalDialog& operator=(const TerminalDialog&) = delete;

    // DialogPeer
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    void setText(std::string_view text) override;
    std::string text() const override { return title_; }
    WindowPeer* control(int id) override;
    int runModal() override;
    void end(int result) override;
    win::HWND handle() override { return this; }

    bool shown() const { return shown_; }
    /// The window's cells on a screen of cols x rows, its frame included.
    CellRect area(int cols, int rows) const;
    void paint(CursesSession& session) const;
    void key(const Key& key);

private:
    struct Entry {
        ControlState state;
        std::unique_ptr<WindowPeer> peer;
    };

    CellScale scale(int cols, int rows) const;
    void moveFocus(int step);
    void press(std::size_t index);
    bool pressMnemonic(int code);
    void changeSelection(int step);

    const DialogTemplate& template_;
    DialogEvents& events_;
    TerminalBackend& host_;
    std::vector<std::unique_ptr<Entry>> controls_; // template order: tab and drawing order
    std::string title_;
    int focus_ = -1; // index into controls_, -1 for none
    bool enabled_ = true;
    bool shown_ = false;
    bool ended_ = false;
    int result_ = 0;
};

} // namespace fw::term
