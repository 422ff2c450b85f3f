// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// GoogleTest's Notification over a Win32 event, included before GoogleTest's own headers: its
// portable one needs std::mutex, which this compiler's win32 thread model lacks. GoogleTest uses
// it only to start the threads of its own tests.
#include "platform/windows/WindowsApi.h"

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

} // namespace testing::internal
