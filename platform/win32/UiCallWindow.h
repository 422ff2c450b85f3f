// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Carries calls from other threads to the UI thread through a window of its own: the call is a
// sent message, so the caller waits until it has run there. The window is message-only where the
// system has such windows, else a top-level window that is never shown, never activated and not
// in the task bar. Once closed, calls return at once without running, and calls already waiting
// are released unrun.

#include "platform/win32/CallWindowPlan.h"
#include "platform/win32/ScopedWindow.h"

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace fw::win32 {

class UiCallWindow {
public:
    /// Makes the window on the calling thread, which becomes the UI thread: the first of plan's
    /// tries that succeeds. Without one (every try failed) there is no window and every call
    /// fails; the owner must not go on as if calls could reach the UI thread.
    explicit UiCallWindow(const std::vector<CallWindowAttempt>& plan);
    ~UiCallWindow();
    UiCallWindow(const UiCallWindow&) = delete;
    UiCallWindow& operator=(const UiCallWindow&) = delete;

    /// The kind of window made; empty when none could be made.
    std::optional<CallWindowKind> kind() const { return kind_; }
    /// The window, for a test to look at; null when none could be made.
    HWND handle() const { return window_.get(); }

    /// Runs work on the UI thread while the caller, another thread, waits. True when it ran.
    bool call(const std::function<void()>& work);

    /// Refuses further calls and releases those waiting. UI thread only.
    void close();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    /// True when message is a call of this window's own (a top-level window also receives
    /// what other programs broadcast).
    bool isOwnCall(UINT message, WPARAM wParam) const;

    const UINT callMessage_;
    std::atomic<bool> open_{true};
    std::optional<CallWindowKind> kind_;
    ScopedWindow window_; // set once in the constructor; destroyed with this object
};

} // namespace fw::win32
