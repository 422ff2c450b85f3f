// SPDX-License-Identifier: GPL-2.0-or-later
// The C runtime's thread start, so the runtime's per-thread state is set up for the thread.
#include "platform/System.h"

#include <cstdint>
#include <process.h>

namespace platform {
namespace {
constexpr std::uintptr_t kThreadStartFailed = static_cast<std::uintptr_t>(-1);
} // namespace

bool StartThread(void (*entry)(void*), void* argument) {
    return _beginthread(entry, 0, argument) != kThreadStartFailed;
}

} // namespace platform
