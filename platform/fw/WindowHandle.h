// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Linux layer's window: what an HWND points at. Each backend's dialog window derives from it,
// and that backend alone knows what lies behind one.

#include "platform/Gdi.h"

#if !defined(_WIN32)
namespace win {
struct WindowObject {
    virtual ~WindowObject() = default;
};
} // namespace win
#endif
