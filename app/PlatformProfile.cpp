// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/PlatformProfile.h"

#include "platform/System.h"

#include <cstdint>

using namespace win;

PlatformProfileRecord PlatformProfile;

namespace {
// Windows 95 builds up to 1111 (OSR2) carry the extended absolute disk write.
constexpr std::uint32_t kLastExtendedWriteBuild = 1111;
constexpr std::uint32_t kBuildNumberMask = 0xFFFF;
constexpr DWORD kFirstCdCapableMajor = 5;
} // namespace

void DetectPlatformProfile() {
    PlatformProfile.useExtendedWrite = false;
    PlatformProfile.cdCapable = false;

    // A rejected record stays zero: platform 0, build 0.
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));

    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
    case VER_PLATFORM_WIN32_WINDOWS:
        PlatformProfile.isNT = false;
        PlatformProfile.useExtendedWrite =
            (info.dwBuildNumber & kBuildNumberMask) <= kLastExtendedWriteBuild;
        break;
    case VER_PLATFORM_WIN32_NT:
        PlatformProfile.isNT = true;
        PlatformProfile.cdCapable = info.dwMajorVersion >= kFirstCdCapableMajor;
        break;
    default:
        ExitProcess(0);
    }
}
