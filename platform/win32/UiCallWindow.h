// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Carries calls from other threads to the UI thread through a message-only window: the call is
// a sent message, so the caller waits until it has run there. Once closed, calls return at once
// without running, and calls already waiting are released unrun.

#include "platform/win32/ScopedWindow.h"

#include <atomic>
#include <functional>

namespace fw::win32 {

class UiCallWindow {
public:
    /// Makes the window on the calling thread, which becomes the UI thread. Without a window
    /// (the system refused one) every call fails.
    UiCallWindow();
    ~UiCallWindow();
    UiCallWindow(const UiCallWindow&) = delete;
    UiCallWindow& operator=(const UiCallWindow&) = delete;

    /// Runs work on the UI thread while the caller, another thread, waits. True when it ran.
    bool call(const std::function<void()>& work);

    /// Refuses further calls and releases those waiting. UI thread only.
    void close();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::atomic<bool> open_{true};
    ScopedWindow window_; // set once in the constructor; destroyed with this object
};

} // namespace fw::win32
