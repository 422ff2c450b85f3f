// SPDX-License-Identifier: GPL-2.0-or-later
// The C runtime's thread start, so the runtime's per-thread state is set up for the thread.
#include "platform/System.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <process.h>

namespace platform {
namespace {
constexpr std::uintptr_t kThreadStartFailed = static_cast<std::uintptr_t>(-1);

// Threads started by StartThread whose entry has not returned yet.
std::atomic<int> runningThreads{0};

struct ThreadStart {
    void (*entry)(void*);
    void* argument;
};

void __cdecl RunCounted(void* start) {
    const ThreadStart what = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start); // handed to this thread by StartThread
    what.entry(what.argument);
    --runningThreads;
}
} // namespace

bool StartThread(void (*entry)(void*), void* argument) {
    auto start = std::make_unique<ThreadStart>(ThreadStart{entry, argument});
    // Counted before the thread can end and uncount itself.
    ++runningThreads;
    if (_beginthread(RunCounted, 0, start.get()) == kThreadStartFailed) {
        --runningThreads;
        return false;
    }
    static_cast<void>(start.release()); // the thread owns it now
    return true;
}

void EndProcessIfThreadsRun(unsigned exitCode) {
    if (runningThreads.load() > 0)
        ::ExitProcess(exitCode);
}

} // namespace platform
