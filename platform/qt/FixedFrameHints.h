// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A fixed-size dialog as the X window manager should treat it. Qt tells every X window manager
// (through the Motif hints) that any decorated window may be resized; the dialog says instead that
// it can only be moved and closed. Elsewhere (Wayland, offscreen) the fixed size alone says it.

#include <QWidget>

namespace fw::qt {

/// Replaces the Motif hints of window's native X window: moved and closed, a border, a title and
/// a window menu; nothing on other platforms. Call once the native window exists, before it is
/// mapped (from the first show event), as window managers read the hints when they take a
/// window on. UI thread.
void HintFixedFrame(QWidget& window);

} // namespace fw::qt
