// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/win32/Win32Dialog.h"

#include "platform/fw/DialogTemplate.h"
#include "platform/win32/ControlPeers.h"
#include "platform/win32/WindowState.h"

namespace fw::win32 {
namespace {

constexpr INT_PTR kHandled = TRUE;
constexpr INT_PTR kNotHandled = FALSE;
constexpr BOOL kGetMessageFailed = -1;

} // namespace

Win32Dialog::Win32Dialog(Key, DialogEvents& events, std::function<void(Win32Dialog&)> onDestroyed)
    : events_(events), onDestroyed_(std::move(onDestroyed)) {
}

std::unique_ptr<Win32Dialog> Win32Dialog::Create(int templateId, DialogEvents& events,
                                                 std::function<void(Win32Dialog&)> onDestroyed) {
    // The address is fixed before the window exists: the dialog procedure keeps it.
    auto dialog = std::make_unique<Win32Dialog>(Key{}, events, std::move(onDestroyed));
    dialog->window_.reset(
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                           &Win32Dialog::DialogProc, reinterpret_cast<LPARAM>(dialog.get())));
    if (!dialog->window_)
        return nullptr;
    return dialog;
}

Win32Dialog::~Win32Dialog() {
    controls_.clear();
    window_.reset();
    onDestroyed_(*this);
}

void Win32Dialog::setEnabled(bool enabled) {
    SetEnabled(window_.get(), enabled);
}

bool Win32Dialog::isEnabled() const {
    return IsEnabled(window_.get());
}

void Win32Dialog::setText(std::string_view text) {
    SetText(window_.get(), text);
}

std::string Win32Dialog::text() const {
    return Text(window_.get());
}

WindowPeer* Win32Dialog::control(int id) {
    // Several statics share kIdStatic: it names none of them.
    if (id == kIdStatic || !window_)
        return nullptr;
    auto known = controls_.find(id);
    if (known != controls_.end())
        return known->second.get();
    HWND child = GetDlgItem(window_.get(), id);
    if (child == nullptr)
        return nullptr;
    return controls_.emplace(id, MakeControlPeer(child)).first->second.get();
}

// WM_INITDIALOG came while the window was made, before the framework held this peer; the event
// runs here instead, at the same point of the window's life: controls made, nothing shown.
int Win32Dialog::runModal() {
    ended_ = false;
    result_ = 0;
    const bool focusFirst = events_.initDialog();
    if (!ended_ && window_)
        ShowWindow(window_.get(), SW_SHOW);
    if (!ended_ && window_ && focusFirst)
        focusFirstTabStop();
    messageLoop();
    if (window_)
        ShowWindow(window_.get(), SW_HIDE);
    return result_;
}

void Win32Dialog::end(int result) {
    if (ended_)
        return;
    result_ = result;
    ended_ = true;
    // A call carried from another thread ran inside GetMessage, which waits on for a posted
    // message: this one lets the loop see the end.
    if (window_)
        PostMessageA(window_.get(), WM_NULL, 0, 0);
}

void Win32Dialog::close(int result) {
    end(result);
    controls_.clear();
    window_.reset();
}

void Win32Dialog::messageLoop() {
    MSG message;
    while (!ended_ && window_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == kGetMessageFailed)
            return;
        if (got == FALSE) {
            // The quit request belongs to whoever runs the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!IsDialogMessageA(window_.get(), &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void Win32Dialog::focusFirstTabStop() {
    HWND first = GetNextDlgTabItem(window_.get(), nullptr, FALSE);
    if (first != nullptr)
        SendMessageA(window_.get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

bool Win32Dialog::dispatch(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_SHOWWINDOW:
        events_.showWindow(wParam != FALSE);
        return false; // the window still shows itself
    case WM_CLOSE:
        // Closing is the dialog's decision: OnClose may keep the window.
        events_.closeRequested();
        return true;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        // The dialog manager sends IDOK for Enter when no push button takes it, IDCANCEL for
        // Escape.
        if (id == IDOK)
            events_.okKey();
        else if (id == IDCANCEL)
            events_.cancelKey();
        else if (HIWORD(wParam) == BN_CLICKED)
            events_.clicked(id);
        else
            return false;
        return true;
    }
    default:
        return false;
    }
}

INT_PTR CALLBACK Win32Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return kNotHandled; // focus is set once the window shows
    }
    auto* self = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    // Messages before WM_INITDIALOG, and those of a window being destroyed, are not events.
    if (self == nullptr || self->window_.get() != window)
        return kNotHandled;
    return self->dispatch(message, wParam) ? kHandled : kNotHandled;
}

} // namespace fw::win32
