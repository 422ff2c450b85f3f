// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Owner of a window made with CreateWindowExA or CreateDialogParamA.

#include "platform/ScopedHandle.h"
#include "platform/windows/WindowsApi.h"

namespace fw::win32 {

struct WindowTraits {
    using Handle = HWND;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { DestroyWindow(handle); }
};

/// Destroys the window on the thread that made it: destroy it there only.
using ScopedWindow = platform::ScopedHandle<WindowTraits>;

} // namespace fw::win32
