// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A dialog of the headless backend: built from its template like any other, with every control
// keeping what the program sets, but never drawn. Each change the program makes once the dialog
// is shown goes to the report; the operator works it through the panel it is.

#include "platform/fw/Backend.h"
#include "platform/fw/DialogTemplate.h"
#include "platform/fw/Operator.h"
#include "platform/fw/WindowHandle.h"
#include "platform/terminal/TerminalControls.h"

#include <memory>
#include <string>
#include <vector>

namespace fw::headless {

class HeadlessBackend;

class HeadlessDialog final : public DialogPeer, public win::WindowObject, public Panel {
public:
    HeadlessDialog(const DialogTemplate& dialog, DialogEvents& events, HeadlessBackend& host);
    HeadlessDialog(const HeadlessDialog&) = delete;
    HeadlessDialog& operator=(const HeadlessDialog&) = delete;

    // DialogPeer
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }
    void setText(std::string_view text) override { title_ = text; }
    std::string text() const override { return title_; }
    WindowPeer* control(int id) override;
    /// Initialises the dialog, shows it to the report and hands it to the operator; a dialog
    /// the operator leaves running is ended with IDCANCEL.
    int runModal() override;
    void end(int result) override;
    win::HWND handle() override { return this; }

    // Panel
    std::string Text(int id) const override;
    bool IsEnabled(int id) const override;
    std::vector<std::string> Items(int id) const override;
    bool Select(int id, int index) override;
    bool Click(int id) override;
    bool WaitUntil(const std::function<bool()>& condition) override;
    void Note(std::string_view text) override;
    void Print(std::string_view text) override;

private:
    /// What the report last heard of a control.
    struct Seen {
        std::string text;
        bool enabled = true;
        int selected = -1;
        int low = 0;
        int high = 0;
        int pos = 0;
    };
    struct Entry {
        term::ControlState state;
        std::unique_ptr<WindowPeer> peer;
        Seen seen;
    };

    const Entry* find(int id) const;
    Entry* find(int id);
    /// entry changed: tells the report what differs from what it last heard, once shown.
    void changed(Entry& entry);
    void showToReport();

    DialogEvents& events_;
    HeadlessBackend& host_;
    std::vector<std::unique_ptr<Entry>> controls_; // template order
    std::string title_;
    bool enabled_ = true;
    bool shown_ = false;
    bool ended_ = false;
    int result_ = 0;
};

} // namespace fw::headless
