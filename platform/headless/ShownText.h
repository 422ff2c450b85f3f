// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Texts as the reports write them.

#include "platform/fw/DialogTemplate.h"

#include <string>
#include <string_view>

namespace fw::headless {

/// ANSI text as one line of the locale's wide characters: line breaks become spaces.
std::wstring OneLine(std::string_view ansi);

/// A control's text as the user reads it: a button's or a group's label without its mnemonic
/// marks, anything else as it is; on one line.
std::wstring ShownLabel(ControlKind kind, std::string_view ansi);

/// The wide form of ASCII text (numbers, words of the reports).
std::wstring Wide(std::string_view ascii);

} // namespace fw::headless
