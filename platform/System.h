// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Process, thread, memory and version services of the Win32 kernel.

#include "platform/Types.h"

#if defined(_WIN32)
namespace win {
using ::ExitProcess;
using ::GetCurrentThread;
using ::GetVersionExA;
using ::OSVERSIONINFOA;
using ::OSVERSIONINFOEXA;
using ::SetThreadPriority;
using ::Sleep;
using ::VirtualAlloc;
using ::VirtualFree;
} // namespace win
#else
#include <cstddef>

namespace win {
/// The 156-byte extended version record.
struct OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
static_assert(sizeof(OSVERSIONINFOEXA) == 156);

/// The 148-byte base record: the extended one without its last five fields.
struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

/// Fills the record whose size field says 148 or 156 bytes; FALSE with ERROR_INSUFFICIENT_BUFFER
/// for any other size. The Linux layer reports the NT family, version 5.1, unless a version
/// override is in force (environment BOOTMEDIA_PLATFORM, or platform::SetVersionOverride).
BOOL GetVersionExA(OSVERSIONINFOA* info);

inline constexpr DWORD MEM_COMMIT = 0x1000;
inline constexpr DWORD MEM_RESERVE = 0x2000;
inline constexpr DWORD MEM_RELEASE = 0x8000;
inline constexpr DWORD PAGE_READWRITE = 0x04;

/// Page-aligned, zero-filled memory. Only MEM_COMMIT (with or without MEM_RESERVE) and
/// PAGE_READWRITE at a system-chosen address are offered; null on failure. Release with
/// VirtualFree(address, 0, MEM_RELEASE).
LPVOID VirtualAlloc(LPVOID address, std::size_t size, DWORD allocationType, DWORD protect);
BOOL VirtualFree(LPVOID address, std::size_t size, DWORD freeType);

void Sleep(DWORD milliseconds);

/// Ends the process at once with the code: no static destructors, no exit handlers of the C
/// runtime. Standard output and error are flushed first.
[[noreturn]] void ExitProcess(UINT exitCode);

inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;

/// The pseudo-handle of the calling thread; valid only for SetThreadPriority.
HANDLE GetCurrentThread();
/// Maps the priority onto the calling thread's nice value. Raising it above normal needs a
/// privilege that a user may lack; the call then fails without harm.
BOOL SetThreadPriority(HANDLE thread, int priority);
} // namespace win
#endif

#if !defined(_WIN32)
namespace platform {
/// Runs hook in ExitProcess before the process ends (null: none), so that a user interface can
/// put the terminal back; any thread may end the process, so hook must be async-signal-safe.
/// Returns the hook it replaces.
using ProcessEndHook = void (*)() noexcept;
ProcessEndHook SetProcessEndHook(ProcessEndHook hook);

/// Ends the process by an ending signal (SIGHUP, SIGINT, SIGQUIT, SIGTERM) for the signal handler
/// of a user interface, once it has put its screen back: a recording in progress is first let
/// stop cleanly (its drive shut down, its unfinished disc file removed), for a bounded time; then
/// the signal takes its default action. Async-signal-safe; any thread.
[[noreturn]] void EndProcessBySignal(int signal) noexcept;
} // namespace platform
#endif

namespace platform {
/// Starts a detached thread running entry(argument) with the default stack size: the C runtime's
/// thread start (_beginthread on Windows). When it returns true the thread owns argument;
/// false means no thread was started and the caller still owns it.
bool StartThread(void (*entry)(void*), void* argument);

/// Where a program's run ends and static destruction would follow: while a thread started by
/// StartThread still runs, ends the process at once with the code, as ExitProcess does (no
/// static destructor runs under that thread); otherwise returns.
void EndProcessIfThreadsRun(unsigned exitCode);
} // namespace platform
