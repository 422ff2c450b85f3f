// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A dialog window of the Win32 backend, made from a dialog template in the program's resources.
// It has no owner, so that a message box without owner stays usable beside it; DoModal's
// modality is its own message loop.

#include "platform/fw/Backend.h"
#include "platform/win32/ScopedWindow.h"

#include <functional>
#include <map>
#include <memory>

namespace fw::win32 {

class Win32Dialog final : public DialogPeer {
    struct Key {}; // only Create makes a dialog

public:
    /// The hidden window of template templateId, reporting to events; null when the resources
    /// hold no such template or the system makes no window. onDestroyed runs in the destructor
    /// (the backend forgets the dialog then). UI thread.
    static std::unique_ptr<Win32Dialog> Create(int templateId, DialogEvents& events,
                                               std::function<void(Win32Dialog&)> onDestroyed);
    ~Win32Dialog() override;
    Win32Dialog(const Win32Dialog&) = delete;
    Win32Dialog& operator=(const Win32Dialog&) = delete;

    // DialogPeer
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void setText(std::string_view text) override;
    std::string text() const override;
    WindowPeer* control(int id) override;
    int runModal() override;
    void end(int result) override;
    win::HWND handle() override { return window_.get(); }

    /// Ends the run with result and destroys the window at once: the backend is going.
    void close(int result);

    Win32Dialog(Key, DialogEvents& events, std::function<void(Win32Dialog&)> onDestroyed);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    /// True when the message was one of the dialog's events.
    bool dispatch(UINT message, WPARAM wParam);
    void messageLoop();
    void focusFirstTabStop();

    DialogEvents& events_;
    std::function<void(Win32Dialog&)> onDestroyed_;
    std::map<int, std::unique_ptr<WindowPeer>> controls_; // made when first asked for
    ScopedWindow window_;
    bool ended_ = false;
    int result_ = 0;
};

} // namespace fw::win32
