// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/win32/UiCallWindow.h"

namespace fw::win32 {
namespace {

constexpr char kClassName[] = "BootMediaUiCall";
// A message of its own name: no other program sends it by chance, not even in a broadcast.
constexpr char kCallMessageName[] = "BootMediaUiCall";
// What the window answers a call: a dropped call, or an unknown window, reads as 0.
constexpr LRESULT kCallRan = 1;
constexpr LRESULT kCallDropped = 0;

HWND CreateCallWindow(CallWindowKind kind, HINSTANCE module) {
    switch (kind) {
    case CallWindowKind::MessageOnly:
        return CreateWindowExA(0, kClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                               nullptr);
    case CallWindowKind::HiddenTopLevel:
        // Without WS_VISIBLE, and never shown, it is never activated; a tool window stays out
        // of the task bar and the task switcher.
        return CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, module, nullptr);
    }
    return nullptr;
}

} // namespace

UiCallWindow::UiCallWindow(const std::vector<CallWindowAttempt>& plan)
    : callMessage_(RegisterWindowMessageA(kCallMessageName)) {
    if (callMessage_ == 0)
        return;
    const HINSTANCE module = GetModuleHandleA(nullptr);
    // The class stays registered for the process: a later backend finds it there.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &UiCallWindow::WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    for (const CallWindowAttempt& attempt : plan) {
        if (attempt.refused)
            continue;
        window_.reset(CreateCallWindow(attempt.kind, module));
        if (window_) {
            kind_ = attempt.kind;
            break;
        }
    }
    // No call can arrive before the handle is known, so the window learns its owner in time.
    if (window_)
        SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

UiCallWindow::~UiCallWindow() {
    close();
}

bool UiCallWindow::call(const std::function<void()>& work) {
    if (!open_.load() || !window_)
        return false;
    return SendMessageA(window_.get(), callMessage_, reinterpret_cast<WPARAM>(this),
                        reinterpret_cast<LPARAM>(&work)) == kCallRan;
}

void UiCallWindow::close() {
    open_.store(false);
    // Sent messages already waiting are delivered now, and answered as dropped; a peek of any
    // kind delivers them, and posted messages stay queued.
    MSG pending;
    PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE);
}

bool UiCallWindow::isOwnCall(UINT message, WPARAM wParam) const {
    return message == callMessage_ && wParam == reinterpret_cast<WPARAM>(this);
}

LRESULT CALLBACK UiCallWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A task manager asks every top-level window of a program to close. The answer is the
    // dialog's: closed, this window would take every later call with it.
    if (message == WM_CLOSE)
        return 0;
    auto* self = reinterpret_cast<UiCallWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || !self->isOwnCall(message, wParam))
        return DefWindowProcA(window, message, wParam, lParam);
    if (!self->open_.load())
        return kCallDropped;
    // The sender waits in SendMessage, so its work outlives this call.
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return kCallRan;
}

} // namespace fw::win32
