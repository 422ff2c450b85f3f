// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The names a Joliet disc can carry unchanged. A staged stream's name becomes a file name on
// the disc; libisofs would quietly cut a long name, replace a character Joliet lacks or keep a
// name that differs from another only in case, so a name is checked here before it is staged.

#include <optional>
#include <string>
#include <string_view>

namespace platform::layer {

/// The longest Joliet file name, in UTF-16 units.
inline constexpr std::size_t kMaxJolietNameUnits = 64;

/// The name as UTF-8 (the character set libisofs is given), or nothing when the disc cannot
/// carry it unchanged: empty or longer than kMaxJolietNameUnits, "." or "..", a control
/// character, one of * / : ; ? \ " < > |, or a surrogate without its partner.
std::optional<std::string> JolietFileName(std::u16string_view name);

/// The name's characters in upper case, as Windows compares file names: two names with the
/// same key name the same file.
std::u32string JolietNameKey(std::u16string_view name);

} // namespace platform::layer
