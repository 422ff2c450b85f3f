// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The C-style escapes in which manifests write texts: \n \r \t \\ and \xHH (two hexadecimal
// digits) for any byte. Written texts are plain ASCII, so that a manifest means the same bytes
// whatever encoding an editor saves it in; other bytes of the ANSI code page take \xHH.

#include <cstddef>
#include <string>
#include <string_view>

namespace tools {

/// Decodes the escapes of a manifest text into *bytes. Printable ASCII and the tab stand for
/// themselves. False with *error (naming the fault and its column, from 1) for an unknown or
/// incomplete escape or a byte that must be escaped.
bool DecodeEscapes(std::string_view text, std::string* bytes, std::string* error);

/// The bytes as a manifest writes them. When that is longer than maxChars, it is cut (never
/// inside an escape) and "..." marks the cut.
std::string EncodeEscapes(std::string_view bytes, std::size_t maxChars);

/// EncodeEscapes in double quotes, for messages and listings.
std::string QuoteEscaped(std::string_view bytes, std::size_t maxChars);

} // namespace tools
