// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The layer's ANSI code page: the 8-bit text of the system (container texts, device paths) is
// in it. Windows-1252 unless the environment variable BOOTMEDIA_CODEPAGE names another, as a
// Windows code page number (1251) or an iconv name (KOI8-R).

#include <optional>
#include <string>
#include <string_view>

namespace platform::layer {

/// The iconv name of the ANSI code page. A name iconv does not know falls back to
/// Windows-1252, so text is never left unconverted.
std::string AnsiCodePage();

/// UTF-16 text in the ANSI code page. A character the code page lacks (or a broken surrogate)
/// becomes replacement, and *replaced is then set. In Windows-1252, U+0081, U+008D, U+008F,
/// U+0090 and U+009D become the bytes of their numbers, as on Windows. Nothing when iconv cannot
/// convert at all.
std::optional<std::string> EncodeAnsi(std::u16string_view text, char replacement, bool* replaced);

/// 8-bit text of the ANSI code page in UTF-16. A byte the code page does not define (or an
/// incomplete character at the end) becomes U+FFFD; but Windows-1252's five undefined bytes,
/// 0x81, 0x8D, 0x8F, 0x90 and 0x9D, become the control characters of the same numbers, as on
/// Windows, so that distinct bytes stay distinct characters. Nothing when iconv cannot convert
/// at all.
std::optional<std::u16string> DecodeAnsi(std::string_view text);

} // namespace platform::layer
