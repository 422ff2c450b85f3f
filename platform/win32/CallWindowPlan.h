// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Which window carries calls from other threads to the UI thread. Message-only windows exist from
// Windows 2000 on (NT family, version 5); on 95, 98, ME and NT 4 the call window is a hidden
// top-level window, which is also the fallback wherever a message-only window cannot be made.

#include <vector>

namespace fw::win32 {

enum class CallWindowKind { MessageOnly, HiddenTopLevel };

/// One try at making the call window. A refused try fails as if the system had refused the
/// window; only the test switch below refuses one.
struct CallWindowAttempt {
    CallWindowKind kind;
    bool refused = false;
};

/// What the test switch asks for: the environment variable BOOTMEDIA_TEST_CALL_WINDOW, read by
/// this backend only. "message-only-fails": a message-only window is tried on every system and
/// its creation fails, so the fallback is taken. "none": no call window can be made. Any other
/// value, or none, changes nothing.
enum class CallWindowFault { None, MessageOnlyFails, NoWindow };

/// The switch as the environment of this process sets it.
CallWindowFault ReadCallWindowFault();

/// True when the running system has message-only windows: the NT family from version 5 on, as
/// GetVersionExA reports it.
bool SystemHasMessageOnlyWindows();

/// The tries in order, best first, for a system with or without message-only windows.
std::vector<CallWindowAttempt> PlanCallWindow(bool systemHasMessageOnlyWindows,
                                              CallWindowFault fault);

} // namespace fw::win32
