// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The framework's string: 8-bit text of the ANSI code page. It has no printf-style member on
// purpose: container format texts are untrusted and are formatted only by the safe formatter,
// whose result is assigned to a String.

#include <string>

namespace fw {
using String = std::string;
} // namespace fw
