// SPDX-License-Identifier: GPL-2.0-or-later
// May assume Windows 2000 or later: critical sections.
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
