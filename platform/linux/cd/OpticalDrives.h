// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The optical CD writers of the machine, as the kernel's CD-ROM driver lists them, found without
// holding any drive: a scan through libburn holds every drive exclusively and waits seconds for
// a busy one, and start-up must not.

#include <string>
#include <vector>

namespace platform::layer {

/// Where the kernel's CD-ROM driver lists its drives and what they can do.
inline constexpr const char* kCdromInfoPath = "/proc/sys/dev/cdrom/info";

/// The device addresses ("/dev/sr0") of the drives the listing at infoPath names that can write
/// CD-R or CD-RW and that this process may record with now, in the order of their names. Each
/// drive left out (not a writer, mounted, in use by another program, not permitted, no device
/// node) is named in the log with every reason. No drive is held when this returns; a missing
/// listing (no CD-ROM driver) gives none.
std::vector<std::string> FindCdWriters(const std::string& infoPath);

} // namespace platform::layer
