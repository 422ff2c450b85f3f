// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/win32/WindowState.h"

namespace fw::win32 {
namespace {
constexpr int kTerminatorSize = 1;
} // namespace

void SetEnabled(HWND window, bool enabled) {
    EnableWindow(window, enabled ? TRUE : FALSE);
}

bool IsEnabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}

void SetText(HWND window, std::string_view text) {
    const std::string terminated(text); // the window wants a terminated string
    SetWindowTextA(window, terminated.c_str());
}

std::string Text(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + kTerminatorSize, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + kTerminatorSize);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

} // namespace fw::win32
