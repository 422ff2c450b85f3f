// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Win32 error a POSIX failure stands for.

#include "platform/Types.h"

namespace platform::layer {

/// Maps errno to the Win32 error code a caller of the Win32 call would see.
win::DWORD Win32ErrorFromErrno(int error);

/// Sets the thread's last error from errno and returns false, for one-line failure paths.
bool FailFromErrno();

} // namespace platform::layer
