// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Container texts are 8-bit text of the layer's ANSI code page; the terminal takes the locale's
// encoding. Every text the terminal backend shows passes here, and is then measured and drawn as
// wide characters.

#include <string>
#include <string_view>

namespace fw::term {

/// text in the locale's encoding (LC_CTYPE), as wide characters. A character the locale's
/// encoding lacks is transliterated where iconv can, otherwise it becomes '?'.
std::wstring ToTerminal(std::string_view text);

/// The same, from the iconv code page codePage into the iconv encoding localeCodeset.
std::wstring ToTerminal(std::string_view text, const char* codePage, const char* localeCodeset);

/// A label as shown: '&' marks the next character as the mnemonic and is not shown, "&&" shows
/// one '&'. mnemonicAt indexes the mnemonic in text, -1 for none.
struct Label {
    std::wstring text;
    int mnemonicAt = -1;
};
Label ParseLabel(std::wstring_view text);

/// Columns text takes on the terminal (a character of unknown width counts as one).
int Columns(std::wstring_view text);

/// Whether the locale's encoding can show every character of text.
bool Showable(std::wstring_view text);

/// text in at most cols columns: whole where it fits, otherwise cut and ended with an ellipsis
/// (U+2026 where the locale can show it, "..." where not). Empty when cols leaves no room.
std::wstring Ellipsized(std::wstring_view text, int cols);

} // namespace fw::term
