// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The names a stream of a compound file and a file of a Joliet disc may have, and when two names
// are one, as Windows has them. The Linux layer's storage and disc master apply these rules, and
// the container tool checks the CD file set against the very same ones.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

/// The longest name of a compound file's element, in UTF-16 units, without its terminating 0.
inline constexpr std::size_t kMaxElementNameUnits = 31;

/// The longest file name on a Joliet disc, in UTF-16 units.
inline constexpr std::size_t kMaxDiscNameUnits = 64;

/// Why a name is refused.
enum class NameFault {
    None,
    Empty,
    TooLong,            ///< more units than the place allows
    RefusedCharacter,   ///< a character the place refuses, at unit `at`
    ControlCharacter,   ///< a control character (C0, DEL or C1), at unit `at`
    BrokenSurrogate,    ///< half a surrogate pair, at unit `at`
    TrailingDotOrBlank, ///< Windows drops a final dot or blank when it opens a file
};

struct NameVerdict {
    NameFault fault = NameFault::None;
    std::size_t at = 0;

    explicit operator bool() const { return fault == NameFault::None; }
};

/// Whether a compound file takes name for an element: 1 to 31 units, none of them / \ : !.
NameVerdict CheckElementName(std::u16string_view name);

/// Whether a Joliet disc carries name unchanged as a file name that Windows opens under it: 1 to
/// 64 units, no control character, none of * / : ; ? \ " < > |, whole surrogate pairs, and no
/// final dot or blank (so neither "." nor ".."; and "Makefile." cannot pass for "Makefile").
NameVerdict CheckDiscName(std::u16string_view name);

/// The name with each character in upper case by Unicode's simple mapping (every script; a unit
/// of a surrogate pair stays as it is), as Windows compares the names of a compound file's
/// elements and of a disc's files: two names with the same key are one name.
std::u16string NameKey(std::u16string_view name);

} // namespace platform
