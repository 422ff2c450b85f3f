// SPDX-License-Identifier: GPL-2.0-or-later
// Drive letters: C: is the system's hard-disk volume, and the CD recorders take the letters from
// E: on in their enumeration order, up to Y:.
#include "platform/DosDevices.h"

#include "platform/linux/cd/RecorderRegistry.h"

#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace win {
namespace {

constexpr char kSystemVolumeLetter = 'C';
// Longer than a 20-byte buffer takes, as the volume names of real systems are.
constexpr std::string_view kSystemVolumeTarget = "\\Device\\HarddiskVolume1";
constexpr char kFirstRecorderLetter = 'E';
constexpr char kLastRecorderLetter = 'Y';
constexpr std::size_t kDriveNameLength = 2;
constexpr char kDriveNameColon = ':';
// The target is a list of strings: its own terminating 0 and the list's.
constexpr std::size_t kTerminators = 2;

std::optional<std::string> TargetOf(std::string_view name) {
    if (name.size() != kDriveNameLength || name[1] != kDriveNameColon)
        return std::nullopt;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter == kSystemVolumeLetter)
        return std::string(kSystemVolumeTarget);
    if (letter < kFirstRecorderLetter || letter > kLastRecorderLetter)
        return std::nullopt;
    const std::size_t index = static_cast<std::size_t>(letter - kFirstRecorderLetter);
    const std::vector<platform::layer::RecorderEntry> recorders = platform::layer::Recorders();
    if (index >= recorders.size())
        return std::nullopt;
    return recorders[index].devicePath;
}

} // namespace

DWORD QueryDosDeviceA(LPCSTR deviceName, LPSTR targetPath, DWORD max) {
    if (deviceName == nullptr) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    const std::optional<std::string> target = TargetOf(deviceName);
    if (!target) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const std::size_t stored = target->size() + kTerminators;
    if (targetPath == nullptr || max < stored) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(targetPath, target->data(), target->size());
    std::memset(targetPath + target->size(), 0, kTerminators);
    return static_cast<DWORD>(stored);
}

} // namespace win
