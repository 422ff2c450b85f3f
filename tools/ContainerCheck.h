// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Checks a container against the catalogue: everything the system reads must be there, of the
// kind and shape it expects.

#include "tools/Container.h"

#include <string>
#include <vector>

namespace tools {

/// Problems found, one sentence each, in a stable order.
using Problems = std::vector<std::string>;

/// Checks the whole container: the directory (duplicate identifiers, data outside the file),
/// every text and format of the catalogue, the picture, the boot image and the CD file set.
Problems CheckContainer(const Container& container);

/// Checks the CD file set: a run of names 5000 + i without gaps, each with its contents entry
/// 5100 + i and usable as a Joliet file name, unique ignoring case; a run that ends early at a
/// present but empty or NUL-led name; no name and no contents entry after the run.
void CheckCdFileSet(const Container& container, Problems* problems);

} // namespace tools
