// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Windows resource script of a dialog template and an icon group, for windres.

#include "platform/fw/DialogTemplate.h"

#include <string>
#include <string_view>

namespace res {

/// The script: icon group iconId from the file iconFile, and the dialog as a DIALOGEX with one
/// CONTROL statement per control in template order. Texts are written as ANSI, with '"'
/// doubled.
std::string WriteRcScript(const fw::DialogTemplate& dialog, int iconId, std::string_view iconFile);

} // namespace res
