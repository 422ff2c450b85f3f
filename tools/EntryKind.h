// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What an entry holds, as far as the catalogue and its first bytes tell.

#include "resfile/ResourceFile.h"

#include <string_view>

namespace tools {

enum class EntryKind { Bitmap, Text, Format, Data };

/// The kind the catalogue gives the identifier; for an identifier the catalogue does not know,
/// a guess from the entry's first bytes (head): a BMP signature, or bytes that all look like
/// text.
EntryKind GuessKind(ResourceId id, std::string_view head);

/// "bitmap", "text", "format" or "data".
std::string_view KindName(EntryKind kind);

} // namespace tools
