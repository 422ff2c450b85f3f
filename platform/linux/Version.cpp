// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/System.h"
#include "platform/VersionOverride.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

constexpr std::uint32_t kWin9x = win::VER_PLATFORM_WIN32_WINDOWS;
constexpr std::uint32_t kNt = win::VER_PLATFORM_WIN32_NT;
constexpr std::uint32_t kUnknownPlatform = 3;

struct NamedVersion {
    std::string_view name;
    ReportedVersion version;
};

// The 9x entries differ in what the floppy writer chooses: a rejected extended record reads as
// build 0, build 1111 still takes the extended write, 1112 and later take Int 26h.
constexpr NamedVersion kNamedVersions[] = {
    {"nt", {kNt, 5, 1, 2600, false}},        {"nt4", {kNt, 4, 0, 1381, false}},
    {"win95", {kWin9x, 4, 0, 950, true}},    {"win95osr2", {kWin9x, 4, 0, 1111, false}},
    {"win98", {kWin9x, 4, 10, 1998, false}}, {"unknown", {kUnknownPlatform, 1, 0, 0, false}},
};

std::mutex versionMutex;

std::optional<ReportedVersion>& overrideSlot() {
    static std::optional<ReportedVersion> slot = [] {
        const char* name = std::getenv("BOOTMEDIA_PLATFORM");
        return name ? VersionFromName(name) : std::nullopt;
    }();
    return slot;
}

ReportedVersion CurrentVersion() {
    std::lock_guard lock(versionMutex);
    return overrideSlot().value_or(ReportedVersion{});
}

} // namespace

std::optional<ReportedVersion> VersionFromName(std::string_view name) {
    for (const NamedVersion& named : kNamedVersions)
        if (named.name == name)
            return named.version;
    return std::nullopt;
}

void SetVersionOverride(std::optional<ReportedVersion> version) {
    std::lock_guard lock(versionMutex);
    overrideSlot() = version;
}

} // namespace platform

namespace win {

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const platform::ReportedVersion version = platform::CurrentVersion();
    const DWORD size = info->dwOSVersionInfoSize;
    const bool extended = size == sizeof(OSVERSIONINFOEXA);
    if ((size != sizeof(OSVERSIONINFOA) && !extended) ||
        (extended && version.rejectsExtendedRecord)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memset(reinterpret_cast<char*>(info) + sizeof(DWORD), 0, size - sizeof(DWORD));
    info->dwMajorVersion = version.major;
    info->dwMinorVersion = version.minor;
    info->dwBuildNumber = version.build;
    info->dwPlatformId = version.platformId;
    return TRUE;
}

} // namespace win
