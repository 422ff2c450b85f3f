// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The names in the root folder of a recorded disc, read from its directory records exactly as
// they are stored, with no reader in between to tidy them: the ISO 9660 tree's ("README.TXT;1")
// and the Joliet tree's.

#include <string>
#include <vector>

namespace disctest {

/// The names of the ISO 9660 tree's root folder, byte for byte (version and dot included), in
/// the order of its records; empty when the disc cannot be read.
std::vector<std::string> IsoRootNames(const std::string& disc);

/// The names of the Joliet tree's root folder as stored (UTF-16), in the order of its records;
/// empty when the disc has no Joliet tree or cannot be read.
std::vector<std::u16string> JolietRootNames(const std::string& disc);

} // namespace disctest
