// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The layer's log: the reasons behind a failure that the container's texts cannot carry (what a
// library said, the errno of a device, why a drive was left out), in a file the user can find.
// Nothing is ever written to the terminal the dialog may be drawn on.

#include <string>
#include <string_view>

namespace platform::layer {

/// The log file: $XDG_STATE_HOME/bootmedia/bootmedia.log, or ~/.local/state/bootmedia/bootmedia.log
/// when XDG_STATE_HOME is unset or not absolute; empty when neither names a folder. Read from
/// the environment at every call, so a test can move it.
std::string LogFilePath();

/// Appends one line (time, process id, text; a line break in text is kept on the line as a
/// space) to the log file, making its folders on first use. Any thread. A log that cannot be
/// written is skipped: it explains failures, it is never one itself.
void LogLine(std::string_view text);

} // namespace platform::layer
