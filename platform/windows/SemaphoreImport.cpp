// SPDX-License-Identifier: GPL-2.0-or-later
// The C++ runtime's thread layer (the win32 thread model of libgcc and libstdc++: the mutexes
// behind static-initialisation guards, the unwinder's frame registry and thread-local emulation)
// makes its semaphores with CreateSemaphoreW. On Windows 95 and 98 that function exists only as
// a stub that fails, and such a mutex breaks as soon as two threads meet in it. This file defines
// the import slot those calls read, so the linker binds them here instead of to the system's
// CreateSemaphoreW: the route below calls CreateSemaphoreA, which every 32-bit Windows has. The
// platform library's link options pull this file into every program that links it.
#include "platform/windows/WindowsApi.h"

#include <array>

namespace {

// A semaphore name is at most MAX_PATH characters; a DBCS code page may need two bytes for one.
constexpr int kAnsiNameSize = 2 * MAX_PATH;
constexpr int kTerminatedByNull = -1;

HANDLE WINAPI CreateSemaphoreThroughAnsi(LPSECURITY_ATTRIBUTES attributes, LONG initialCount,
                                         LONG maximumCount, LPCWSTR name) {
    // The runtime passes no name; a caller that does gets it in the ANSI code page.
    if (name == nullptr)
        return CreateSemaphoreA(attributes, initialCount, maximumCount, nullptr);
    std::array<char, kAnsiNameSize> ansiName{};
    if (WideCharToMultiByte(CP_ACP, 0, name, kTerminatedByNull, ansiName.data(), kAnsiNameSize,
                            nullptr, nullptr) == 0)
        return nullptr; // the conversion left its reason in the last error
    return CreateSemaphoreA(attributes, initialCount, maximumCount, ansiName.data());
}

using CreateSemaphoreWFunction = decltype(&CreateSemaphoreThroughAnsi);

} // namespace

// The name is the one a call through a declaration with dllimport reads its address from, as a
// 32-bit program decorates it (a leading underscore, and the stdcall argument size).
static_assert(sizeof(void*) == 4, "the slot's name is the 32-bit one");
extern "C" {
extern const CreateSemaphoreWFunction
    AnsiCreateSemaphoreWSlot __asm__("__imp__CreateSemaphoreW@16");
const CreateSemaphoreWFunction AnsiCreateSemaphoreWSlot = &CreateSemaphoreThroughAnsi;
}
