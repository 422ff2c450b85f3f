// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Owner of a bitmap from CreateDIBitmap or LoadResourceBitmap.

#include "platform/Gdi.h"
#include "platform/ScopedHandle.h"

namespace fw {

struct BitmapHandleTraits {
    using Handle = win::HBITMAP;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle handle) noexcept { win::DeleteObject(handle); }
};

using BitmapHandle = platform::ScopedHandle<BitmapHandleTraits>;

} // namespace fw
