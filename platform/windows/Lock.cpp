// SPDX-License-Identifier: GPL-2.0-or-later
// Critical sections exist on every 32-bit Windows, 95 and NT 3.1 on.
#include "platform/Lock.h"

#include "platform/windows/WindowsApi.h"

namespace platform {

struct Lock::State {
    CRITICAL_SECTION section;
};

Lock::Lock() : state_(std::make_unique<State>()) {
    InitializeCriticalSection(&state_->section);
}
Lock::~Lock() {
    DeleteCriticalSection(&state_->section);
}
void Lock::acquire() {
    EnterCriticalSection(&state_->section);
}
void Lock::release() {
    LeaveCriticalSection(&state_->section);
}

} // namespace platform
