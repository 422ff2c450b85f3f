// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/Window.h"

#include "platform/fw/Dialog.h"

namespace fw {

void Window::EnableWindow(bool enable) {
    WithPeer<WindowPeer>([&](WindowPeer& peer) { peer.setEnabled(enable); });
}

bool Window::IsWindowEnabled() const {
    bool enabled = false;
    WithPeer<WindowPeer>([&](WindowPeer& peer) { enabled = peer.isEnabled(); });
    return enabled;
}

void Window::SetWindowText(const char* text) {
    WithPeer<WindowPeer>([&](WindowPeer& peer) { peer.setText(text != nullptr ? text : ""); });
}

String Window::GetWindowText() const {
    String text;
    WithPeer<WindowPeer>([&](WindowPeer& peer) { text = peer.text(); });
    return text;
}

void Control::Attach(Dialog& dialog, int id) {
    const bool fresh = dialog_ != &dialog || id_ != id || attachedRun_ != dialog.CurrentRun();
    dialog_ = &dialog;
    id_ = id;
    WindowPeer* peer = FindPeer();
    if (peer != nullptr && fresh) {
        attachedRun_ = dialog.CurrentRun();
        OnAttached(*peer);
    }
}

WindowPeer* Control::FindPeer() const {
    return dialog_ != nullptr ? dialog_->FindControlPeer(id_) : nullptr;
}

void Control::OnAttached(WindowPeer&) {
}

} // namespace fw
