// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The peers the framework drives a dialog's controls through, over their real windows.

#include "platform/fw/Backend.h"
#include "platform/windows/WindowsApi.h"

#include <memory>

namespace fw::win32 {

/// The peer that fits control's class (combo box, progress bar, bitmap static, or any other
/// window); the control stays owned by its dialog, which must outlive the peer.
std::unique_ptr<WindowPeer> MakeControlPeer(HWND control);

} // namespace fw::win32
