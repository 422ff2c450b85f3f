// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Win32 backend of the dialog framework: dialogs from the program's own dialog templates,
// calls from other threads carried to the UI thread as sent messages. MessageBoxA is the
// system's own and needs nothing from it.

#include "platform/fw/Backend.h"
#include "platform/win32/UiCallWindow.h"

#include <memory>
#include <set>

namespace fw::win32 {

class Win32Dialog;

class Win32Backend final : public Backend {
public:
    /// Registers the common controls the templates use, makes the window that carries calls
    /// from other threads, and installs itself as the framework's backend until its
    /// destruction. The thread that constructs it is the UI thread.
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    /// False when the system made no window to carry calls from other threads: the program
    /// cannot run its jobs and must not start.
    bool carriesCalls() const { return calls_.kind().has_value(); }

    bool isUiThread() const override;
    bool callOnUiThread(const std::function<void()>& work) override;
    std::unique_ptr<DialogPeer> createDialog(int templateId, DialogEvents& events) override;

    /// Stops answering, releases every waiting caller and destroys every dialog window. The
    /// destructor calls it too. UI thread.
    void shutDown() override;

private:
    const DWORD uiThread_;
    UiCallWindow calls_;
    std::set<Win32Dialog*> dialogs_; // UI thread only
    Backend* replacedBackend_ = nullptr;
    bool shutDown_ = false;
};

} // namespace fw::win32
