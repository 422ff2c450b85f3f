// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Linux layer only: which Windows GetVersionExA reports. The default is the NT family, 5.1. The
// environment variable BOOTMEDIA_PLATFORM picks another at start (nt, nt4, win95, win95osr2,
// win98, unknown); tests set one directly.

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

struct ReportedVersion {
    std::uint32_t platformId = 2;
    std::uint32_t major = 5;
    std::uint32_t minor = 1;
    std::uint32_t build = 2600;
    /// The system rejects the 156-byte extended record (as Windows 95 and NT 4 before SP6 do).
    bool rejectsExtendedRecord = false;
};

/// The version a BOOTMEDIA_PLATFORM word names, or nothing for a word it does not know.
std::optional<ReportedVersion> VersionFromName(std::string_view name);

/// Replaces what GetVersionExA reports from now on; nothing restores the default.
void SetVersionOverride(std::optional<ReportedVersion> version);

} // namespace platform
