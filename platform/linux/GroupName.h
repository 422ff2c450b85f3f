// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The name of a user group, for the log's reasons why a device could not be opened.

#include <string>
#include <sys/types.h>

namespace platform::layer {

/// The group's name; its number when the system knows no name for it.
std::string GroupName(gid_t group);

} // namespace platform::layer
