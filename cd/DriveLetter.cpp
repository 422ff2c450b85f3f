// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/DriveLetter.h"

#include "platform/DosDevices.h"

#include <algorithm>

using namespace win;

namespace {
// A, B (floppies) and Z are not examined.
constexpr char kFirstLetter = 'C';
constexpr char kLastLetter = 'Y';
constexpr char kDriveColon = ':';
constexpr DWORD kTargetBufferSize = 20;
} // namespace

unsigned char DriveLetterFromDevicePath(std::string_view path) {
    if (path.empty())
        return 0;
    for (char letter = kFirstLetter; letter <= kLastLetter; ++letter) {
        const char deviceName[] = {letter, kDriveColon, '\0'};
        char target[kTargetBufferSize] = {};
        if (QueryDosDeviceA(deviceName, target, kTargetBufferSize) == 0)
            continue;
        // The first string of the target list; bounded, should a target lack its terminator.
        const std::string_view first(target, std::find(target, target + kTargetBufferSize, '\0'));
        if (first == path)
            return static_cast<unsigned char>(letter);
    }
    return 0;
}
