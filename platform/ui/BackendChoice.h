// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Which dialog backend the program runs with on Linux: the window (Qt) or the terminal (curses).

namespace fw::ui {

enum class UiKind { Window, Terminal };

/// The environment variable that forces a backend: "terminal" or "qt".
inline constexpr const char* kUiVariable = "BOOTMEDIA_UI";

/// request is the variable's value (null when unset): "terminal" or "qt" decide; otherwise the
/// window when a display is named, else the terminal when the program runs on one, else the
/// window (which then shows message boxes on standard error).
UiKind ChooseUi(const char* request, bool displayNamed, bool onTerminal);

/// The choice for this process: its environment and whether standard input and output are a
/// terminal.
UiKind ChooseUi();

} // namespace fw::ui
