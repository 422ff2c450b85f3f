// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Container texts are 8-bit text of the ANSI code page; stream names are UTF-16.

#include "platform/Com.h"

#include <string>
#include <string_view>

/// A UTF-16 text; c_str() gives the 0-terminated name the storage calls take.
using WideText = std::basic_string<win::WCHAR>;

/// text converted from the ANSI code page, character by character (a byte of a single-byte code
/// page gives one unit: 'A' gives U+0041, 0xE9 in Windows-1252 U+00E9), through the platform's
/// conversion. Only a conversion that is one-to-one is taken: converted back, the text must give
/// exactly its bytes again, so that no two texts ever become one name. Empty for empty text, for
/// a text with a byte the code page does not define or one that converts like another, and when
/// the conversion fails.
WideText WidenAnsi(std::string_view text);
