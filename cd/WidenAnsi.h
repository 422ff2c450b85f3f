// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Container texts are 8-bit text of the ANSI code page; stream names are UTF-16.

#include "platform/Com.h"

#include <string>
#include <string_view>

/// A UTF-16 text; c_str() gives the 0-terminated name the storage calls take.
using WideText = std::basic_string<win::WCHAR>;

/// text converted from the ANSI code page, character by character (a byte of a single-byte code
/// page gives one unit: 'A' gives U+0041, 0xE9 in Windows-1252 U+00E9). A byte the code page does
/// not define gives what the platform's conversion gives for it. Empty for empty text, and when
/// the conversion fails.
WideText WidenAnsi(std::string_view text);
