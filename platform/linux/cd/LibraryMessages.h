// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libburn and libisofs tell why something failed only in their messages. They print none (the
// terminal may hold the dialog); the layer queues those of severity SORRY and worse and moves
// them into the log.

#include <string>
#include <string_view>

namespace platform::layer {

/// The severity from which the libraries' messages are kept: SORRY (an operation failed) and
/// worse; SORRY carries the reasons, e.g. a write refused by a full file system.
inline constexpr const char* kKeptMessageSeverity = "SORRY";

/// The log's line for one message of a library: "libburn SORRY: text (the errno's text)".
std::string LibraryMessageLine(std::string_view library, std::string_view severity,
                               std::string_view text, int osErrno);

/// Moves the messages both libraries have queued into the log. Any thread, without the libburn
/// lock held.
void LogLibraryMessages();

} // namespace platform::layer
