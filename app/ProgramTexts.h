// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the program says on its command line, beside the dialog's container texts: its name,
// --help, --version and the words of a usage error.

#include <string>
#include <string_view>

inline constexpr const char* kProgramName = "bootmedia";

/// The --help text.
std::string HelpText();

/// The --version text: the program's version and licence.
std::string VersionText();

/// A usage error told as GNU programs tell it, with the pointer to --help.
std::string UsageErrorText(std::string_view problem);

/// Shows one of these texts (or a problem) where the user sees it: on standard output, a
/// problem on standard error; in a message box in the Windows program, a GUI program whose
/// standard streams lead nowhere.
void TellUser(const std::string& text, bool problem);
