// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A window of the framework: the dialog itself or one of its controls. Every operation may be
// called from any thread; it is carried to the UI thread and has taken effect when it returns.
// An object that stands for no window (a control not yet bound, a dialog not running) ignores
// what it is told and reports a disabled window with empty text.

#include "platform/fw/Backend.h"
#include "platform/fw/String.h"

namespace fw {

class Dialog;

class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    /// text: ANSI; null counts as "".
    void SetWindowText(const char* text);
    String GetWindowText() const;

protected:
    /// The window this object stands for, or null. UI thread only.
    virtual WindowPeer* FindPeer() const = 0;

    /// Runs action(peer) on the UI thread when this object stands for a window of type Peer.
    template <typename Peer, typename Action> void WithPeer(Action&& action) const {
        CallOnUiThread([&] {
            if (auto* peer = dynamic_cast<Peer*>(FindPeer()))
                action(*peer);
        });
    }
};

/// A control of a dialog, bound to its window by DDX_Control.
class Control : public Window {
public:
    /// The identifier it is bound to; 0 before binding.
    int GetDlgCtrlID() const { return id_; }

    /// Binds the object to control id of dialog. Binding again to a new window of the dialog
    /// (a later run of it) starts the control afresh. UI thread only.
    void Attach(Dialog& dialog, int id);

protected:
    WindowPeer* FindPeer() const override;
    /// Called on binding to a new window, on the UI thread, with that window.
    virtual void OnAttached(WindowPeer& peer);

private:
    Dialog* dialog_ = nullptr;
    int id_ = 0;
    /// The run of the dialog whose window the object was last bound to; 0 for none.
    unsigned attachedRun_ = 0;
};

} // namespace fw
