// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/win32/UiCallWindow.h"

namespace fw::win32 {
namespace {

constexpr char kClassName[] = "BootMediaUiCall";
constexpr UINT kCallMessage = WM_APP;
// What the window answers a call: a dropped call, or an unknown window, reads as 0.
constexpr LRESULT kCallRan = 1;
constexpr LRESULT kCallDropped = 0;

} // namespace

UiCallWindow::UiCallWindow() {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    // The class stays registered for the process: a later backend finds it there.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &UiCallWindow::WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    window_.reset(CreateWindowExA(0, kClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  module, nullptr));
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
    return SendMessageA(window_.get(), kCallMessage, 0, reinterpret_cast<LPARAM>(&work)) ==
           kCallRan;
}

void UiCallWindow::close() {
    open_.store(false);
    // Sent messages already waiting are delivered now, and answered as dropped.
    MSG pending;
    PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

LRESULT CALLBACK UiCallWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kCallMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<UiCallWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || !self->open_.load())
        return kCallDropped;
    // The sender waits in SendMessage, so its work outlives this call.
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return kCallRan;
}

} // namespace fw::win32
