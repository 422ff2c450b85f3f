// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Writes a container's directory and data. The system itself only ever reads containers; this
// writer belongs to the tool. Layout: the header, the directory right behind it, then each
// entry's data in directory order. The two ignored bytes of each directory record are written as
// 0.

#include "resfile/ResourceFile.h"
#include "tools/ContainerLimits.h"

#include <cstdint>
#include <span>
#include <string>

namespace tools {

/// One entry as it goes into a container: the bytes of a text, or a file of the given size.
struct ContainerEntry {
    ResourceId id = 0;
    std::string text; ///< the data, when path is empty
    std::string path; ///< the file holding the data
    std::uint64_t size = 0;
};

/// The size of the container that holds the entries.
std::uint64_t ContainerBytes(std::span<const ContainerEntry> entries);

/// Writes the entries into a new, empty file opened for writing: the directory and the data
/// behind the header's place, then the header with the entry count. The caller has checked that
/// ContainerBytes is at most kMaxContainerBytes and that there are at most 65,535 entries. Files
/// are copied in pieces and must still have the size they were planned with. False with *error on
/// any failure.
bool WriteContainer(win::HANDLE container, std::span<const ContainerEntry> entries,
                    std::string* error);

} // namespace tools
