// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The lines the guest's runner writes to its report port and the host reads back: one record a
// line, a keyword and then fields, each either a bare word or a quoted string in which a quote,
// a backslash and every byte outside printable ASCII are escaped (\" \\ \xHH). Container texts
// are 8-bit ANSI text and may hold line breaks: they cross unchanged.

#include <string>
#include <string_view>
#include <vector>

namespace rig {

/// Keywords of the records.
inline constexpr std::string_view kStartupRecord = "startup";   ///< ms floppies letters recorders
inline constexpr std::string_view kBoxRecord = "box";           ///< style caption text
inline constexpr std::string_view kProgressRecord = "progress"; ///< position high
inline constexpr std::string_view kStatusRecord = "status";     ///< text
inline constexpr std::string_view kOutcomeRecord = "outcome";   ///< failed cancelled
inline constexpr std::string_view kLogRecord = "log";           ///< a line of the program's log
inline constexpr std::string_view kExitRecord = "exit";         ///< the runner's exit status
inline constexpr std::string_view kEndRecord = "end";           ///< the guest is done

/// text as a quoted field.
std::string Quote(std::string_view text);

/// The fields of a record line, quoted ones unescaped; a trailing carriage return (the serial
/// line's) is dropped. A quoted field cut short ends the line.
std::vector<std::string> SplitRecord(std::string_view line);

} // namespace rig
