// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Builds resource container bytes in memory for tests: a header whose every field can be set to
// any value, directory records with any identifier, offset, size and ignored bytes, and data
// wherever the test wants them. By default the result is a well-formed container: magic, version
// 1, the real record count, the directory right behind the header, and the data of add()ed
// entries one after another behind the directory.
//
//   const auto bytes = test::ContainerBuilder().add(1000, "abc").bytes(); // the 29-byte example
//   test::ContainerBuilder().add(1000, "abc").directoryOffsetField(0x80000000).write(path);

#include "resfile/ResourceFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace test {

using Bytes = std::vector<std::uint8_t>;

/// The bytes of a text, without terminator.
Bytes TextBytes(std::string_view text);

/// Writes bytes to a file, replacing it; fails the test (and returns false) when it cannot.
bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

/// The whole content of a file; empty (and a test failure) when it cannot be read.
Bytes ReadFileBytes(const std::string& path);

class ContainerBuilder {
public:
    /// A directory record as it will be written.
    struct Record {
        std::uint16_t id = 0;
        std::uint32_t dataOffset = 0;
        std::uint32_t dataSize = 0;
        std::uint8_t ignored0 = 0; ///< byte 0 of the record
        std::uint8_t ignored3 = 0; ///< byte 3 of the record
    };

    // Header fields; each replaces the value the layout would give.
    ContainerBuilder& magic(std::uint32_t value);
    ContainerBuilder& version(std::uint16_t value);
    ContainerBuilder& reserved(std::uint16_t value);
    ContainerBuilder& entryCountField(std::uint16_t value);
    /// Only the header field: the directory is still written where the layout puts it.
    ContainerBuilder& directoryOffsetField(std::uint32_t value);

    /// Writes the directory at this offset (and names it in the header); default 14.
    ContainerBuilder& directoryAt(std::uint32_t offset);

    /// Appends a record exactly as given; no data are placed for it.
    ContainerBuilder& record(const Record& value);
    /// Appends a record for bytes that are laid out behind the directory, after the data of
    /// the entries added before it.
    ContainerBuilder& add(ResourceId id, std::span<const std::uint8_t> data);
    ContainerBuilder& add(ResourceId id, std::string_view text);
    /// Puts bytes at a file offset, growing the file as needed (later placements win).
    ContainerBuilder& place(std::uint32_t offset, std::span<const std::uint8_t> data);

    /// The file offset that add()ed entry number index (counted from 0 among add()ed entries)
    /// will have.
    std::uint32_t dataOffsetOf(std::size_t index) const;

    /// The container's bytes.
    Bytes bytes() const;
    /// Writes bytes() to path; false (and a test failure) when it cannot.
    bool write(const std::string& path) const;

private:
    struct Item {
        Record record;
        std::optional<Bytes> data; // set for add(): offset assigned by the layout
    };
    struct Placement {
        std::uint32_t offset;
        Bytes data;
    };
    std::uint32_t dataStart() const;
    std::vector<Record> layoutRecords() const;

    std::uint32_t magic_ = kResourceMagic;
    std::uint16_t version_ = kResourceVersion;
    std::uint16_t reserved_ = 0;
    std::optional<std::uint16_t> entryCount_;
    std::uint32_t directoryAt_ = kResourceHeaderSize;
    std::optional<std::uint32_t> directoryOffsetField_;
    std::vector<Item> items_;
    std::vector<Placement> placements_;
};

} // namespace test
