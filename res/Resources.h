// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's resources for a backend that has no resource section: the main dialog's
// template and the icon's pictures.

#include "platform/fw/ProgramResources.h"

namespace res {

/// The icon file the .rc names, next to it.
inline constexpr const char* kIconFileName = "bootmedia.ico";
inline constexpr const char* kRcFileName = "bootmedia.rc";

fw::ProgramResources BootMediaResources();

} // namespace res
