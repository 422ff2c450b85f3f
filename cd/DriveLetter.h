// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The drive letter of a device, found through the DOS device names.

#include <string_view>

/// The letter from 'C' to 'Y' (in that order, the first match winning) whose DOS device target
/// equals path byte for byte, or 0. A target that does not fit the 20-byte buffer of the query
/// never matches; neither does an empty path.
unsigned char DriveLetterFromDevicePath(std::string_view path);
