// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A container opened read-only for inspection, with its directory, read through the system's own
// reader so that the tool sees an entry exactly as the system does. Searches keep to the records
// of the directory copy, however the file changes meanwhile.

#include "platform/ScopedHandle.h"
#include "resfile/ResourceFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tools {

/// Whether the reader can reach an entry's data.
enum class DataReach {
    Readable,
    BeyondReach, ///< they run to 2 GiB or past it, where the reader's positioning cannot go
    OutsideFile, ///< they run past the end of the file
};

class Container {
public:
    /// Opens the container read-only and reads its directory; nothing, with *error saying why,
    /// when the file cannot be opened or is no container.
    static std::optional<Container> Open(const std::string& path, std::string* error);

    /// The directory records in file order.
    std::span<const ResourceEntry> entries() const;

    /// The first record with the identifier, as the system finds it; nothing when there is none.
    std::optional<ResourceEntry> find(ResourceId id) const;

    /// The data of the first entry with the identifier, as the system reads them, in the one
    /// copy returned; nothing when there is no such entry or its data cannot be read.
    std::optional<std::string> read(ResourceId id) const;

    /// Reads size bytes at offset; false when they do not all lie in the file.
    bool readAt(std::uint32_t offset, void* buffer, std::uint32_t size) const;

    /// Whether the entry's data lie inside the file where a seek can reach them.
    DataReach reach(const ResourceEntry& entry) const;

private:
    Container() = default;

    platform::FileHandle file_;
    std::unique_ptr<ResourceEntry, FreeDeleter> directory_;
    std::uint16_t count_ = 0;
};

/// What a ResourceError code means, for messages.
std::string DescribeResourceError(std::int32_t code);

/// Why the entry's data cannot be read, as a message continues "entry N: its data ...".
std::string DescribeUnreachable(const ResourceEntry& entry, DataReach reach);

} // namespace tools
