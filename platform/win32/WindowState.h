// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What every window peer does with its window: the enabled state and the ANSI text.

#include "platform/windows/WindowsApi.h"

#include <string>
#include <string_view>

namespace fw::win32 {

void SetEnabled(HWND window, bool enabled);
/// The window's own WS_DISABLED state, not its parent's.
bool IsEnabled(HWND window);
void SetText(HWND window, std::string_view text);
/// The window's text as it answers WM_GETTEXT; empty when it has none.
std::string Text(HWND window);

} // namespace fw::win32
