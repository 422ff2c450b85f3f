// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The DOS device names of drive letters and the device each one stands for.

#include "platform/Types.h"

#if defined(_WIN32)
namespace win {
using ::QueryDosDeviceA;
} // namespace win
#else
namespace win {

/// Stores the target of the DOS device deviceName ("E:") in targetPath as a list of
/// 0-terminated strings ended by one more 0, and returns the characters stored. The Linux layer
/// knows "C:" (a hard-disk volume whose name is too long for a short buffer) and one letter per
/// CD recorder, 'E' for the first in the image mastering service's order up to 'Y'; the target
/// is the recorder's device path ("\Device\CdRom0"). Returns 0 with the last error
/// ERROR_FILE_NOT_FOUND (no such name), ERROR_INSUFFICIENT_BUFFER (the target and its two
/// terminating zeros do not fit in max characters) or ERROR_NOT_SUPPORTED (null name: the list
/// of all names is not offered).
DWORD QueryDosDeviceA(LPCSTR deviceName, LPSTR targetPath, DWORD max);

} // namespace win
#endif
