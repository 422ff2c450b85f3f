// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/win32/CallWindowPlan.h"

#include "platform/windows/WindowsApi.h"

#include <array>
#include <string_view>

namespace fw::win32 {
namespace {

constexpr char kFaultVariable[] = "BOOTMEDIA_TEST_CALL_WINDOW";
constexpr std::string_view kMessageOnlyFails = "message-only-fails";
constexpr std::string_view kNoWindow = "none";
// Room for the longest value and a terminator; a longer value is no known one.
constexpr DWORD kFaultValueSize = 32;
constexpr DWORD kFirstMessageOnlyMajor = 5;

} // namespace

CallWindowFault ReadCallWindowFault() {
    std::array<char, kFaultValueSize> value{};
    const DWORD length = GetEnvironmentVariableA(kFaultVariable, value.data(), kFaultValueSize);
    if (length == 0 || length >= kFaultValueSize)
        return CallWindowFault::None;
    const std::string_view fault(value.data(), length);
    if (fault == kMessageOnlyFails)
        return CallWindowFault::MessageOnlyFails;
    if (fault == kNoWindow)
        return CallWindowFault::NoWindow;
    return CallWindowFault::None;
}

bool SystemHasMessageOnlyWindows() {
    // The base record: every 32-bit Windows accepts it.
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version))
        return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           version.dwMajorVersion >= kFirstMessageOnlyMajor;
}

std::vector<CallWindowAttempt> PlanCallWindow(bool systemHasMessageOnlyWindows,
                                              CallWindowFault fault) {
    switch (fault) {
    case CallWindowFault::MessageOnlyFails:
        return {{CallWindowKind::MessageOnly, true}, {CallWindowKind::HiddenTopLevel}};
    case CallWindowFault::NoWindow:
        return {{CallWindowKind::MessageOnly, true}, {CallWindowKind::HiddenTopLevel, true}};
    case CallWindowFault::None:
        break;
    }
    if (systemHasMessageOnlyWindows)
        return {{CallWindowKind::MessageOnly}, {CallWindowKind::HiddenTopLevel}};
    return {{CallWindowKind::HiddenTopLevel}};
}

} // namespace fw::win32
