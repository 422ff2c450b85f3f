// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The names a Joliet disc can carry unchanged. A staged stream's name becomes a file name on
// the disc; libisofs would quietly cut a long name, replace a character Joliet lacks or keep a
// name that differs from another only in case, so a name is checked here before it is staged.

#include <optional>
#include <string>
#include <string_view>

namespace platform::layer {

/// The name as UTF-8 (the character set libisofs is given), or nothing when the disc cannot
/// carry it unchanged (see CheckDiscName).
std::optional<std::string> JolietFileName(std::u16string_view name);

} // namespace platform::layer
