// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/System.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace win {
namespace {
// Windows priorities in steps of two nice levels, as the kernel's scheduler weighs them.
constexpr int kNicePerPriorityStep = 2;
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));
std::atomic<platform::ProcessEndHook> processEndHook{nullptr};
// Threads started by StartThread whose entry has not returned yet.
std::atomic<int> runningThreads{0};
} // namespace

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ExitProcess(UINT exitCode) {
    if (platform::ProcessEndHook hook = processEndHook.load())
        hook();
    std::fflush(nullptr);
    _exit(static_cast<int>(exitCode));
}

HANDLE GetCurrentThread() {
    return kCurrentThread;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    if (thread != kCurrentThread || priority < THREAD_PRIORITY_LOWEST ||
        priority > THREAD_PRIORITY_HIGHEST) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    if (setpriority(PRIO_PROCESS, tid, -priority * kNicePerPriorityStep) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

} // namespace win

namespace platform {

ProcessEndHook SetProcessEndHook(ProcessEndHook hook) {
    return win::processEndHook.exchange(hook);
}

bool StartThread(void (*entry)(void*), void* argument) {
    ++win::runningThreads;
    try {
        std::thread([entry, argument] {
            entry(argument);
            --win::runningThreads;
        }).detach();
        return true;
    } catch (const std::system_error&) {
        --win::runningThreads;
        return false;
    }
}

void EndProcessIfThreadsRun(unsigned exitCode) {
    if (win::runningThreads.load() > 0)
        win::ExitProcess(exitCode);
}

} // namespace platform
