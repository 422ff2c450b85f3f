// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/ContainerBuilder.h"

#include "resfile/LittleEndian.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace test {
namespace {

// The two bytes of a record that the reader ignores.
constexpr std::size_t kIgnoredFirstAt = 0;
constexpr std::size_t kIgnoredSecondAt = 3;
constexpr std::size_t kReadChunk = 64 * 1024;

void Put(Bytes& out, std::size_t offset, std::span<const std::uint8_t> data) {
    if (out.size() < offset + data.size())
        out.resize(offset + data.size());
    std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
}

} // namespace

Bytes TextBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    EXPECT_TRUE(out.good()) << "cannot write " << path;
    return out.good();
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    // In chunks: byte by byte, a disk-sized file takes seconds under the sanitizers.
    Bytes bytes;
    std::array<char, kReadChunk> chunk{};
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0)
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + in.gcount());
    return bytes;
}

ContainerBuilder& ContainerBuilder::magic(std::uint32_t value) {
    magic_ = value;
    return *this;
}

ContainerBuilder& ContainerBuilder::version(std::uint16_t value) {
    version_ = value;
    return *this;
}

ContainerBuilder& ContainerBuilder::reserved(std::uint16_t value) {
    reserved_ = value;
    return *this;
}

ContainerBuilder& ContainerBuilder::entryCountField(std::uint16_t value) {
    entryCount_ = value;
    return *this;
}

ContainerBuilder& ContainerBuilder::directoryOffsetField(std::uint32_t value) {
    directoryOffsetField_ = value;
    return *this;
}

ContainerBuilder& ContainerBuilder::directoryAt(std::uint32_t offset) {
    directoryAt_ = offset;
    return *this;
}

ContainerBuilder& ContainerBuilder::record(const Record& value) {
    items_.push_back({value, std::nullopt});
    return *this;
}

ContainerBuilder& ContainerBuilder::add(ResourceId id, std::span<const std::uint8_t> data) {
    Record entry;
    entry.id = id;
    entry.dataSize = static_cast<std::uint32_t>(data.size());
    items_.push_back({entry, Bytes(data.begin(), data.end())});
    return *this;
}

ContainerBuilder& ContainerBuilder::add(ResourceId id, std::string_view text) {
    return add(id, TextBytes(text));
}

ContainerBuilder& ContainerBuilder::place(std::uint32_t offset,
                                          std::span<const std::uint8_t> data) {
    placements_.push_back({offset, Bytes(data.begin(), data.end())});
    return *this;
}

std::uint32_t ContainerBuilder::dataStart() const {
    const auto directoryEnd =
        directoryAt_ + static_cast<std::uint32_t>(items_.size()) * kResourceEntrySize;
    return std::max(directoryEnd, kResourceHeaderSize);
}

std::vector<ContainerBuilder::Record> ContainerBuilder::layoutRecords() const {
    std::vector<Record> records;
    std::uint32_t next = dataStart();
    for (const Item& item : items_) {
        Record entry = item.record;
        if (item.data) {
            entry.dataOffset = next;
            next += entry.dataSize;
        }
        records.push_back(entry);
    }
    return records;
}

std::uint32_t ContainerBuilder::dataOffsetOf(std::size_t index) const {
    const std::vector<Record> records = layoutRecords();
    std::size_t seen = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].data && seen++ == index)
            return records[i].dataOffset;
    }
    ADD_FAILURE() << "no added entry number " << index;
    return 0;
}

Bytes ContainerBuilder::bytes() const {
    Bytes out(kResourceHeaderSize);
    le::Write32(out.data() + kHeaderMagicAt, magic_);
    le::Write16(out.data() + kHeaderEntryCountAt,
                entryCount_.value_or(static_cast<std::uint16_t>(items_.size())));
    le::Write16(out.data() + kHeaderVersionAt, version_);
    le::Write16(out.data() + kHeaderReservedAt, reserved_);
    le::Write32(out.data() + kHeaderDirectoryOffsetAt,
                directoryOffsetField_.value_or(directoryAt_));

    const std::vector<Record> records = layoutRecords();
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::uint8_t raw[kResourceEntrySize] = {};
        raw[kIgnoredFirstAt] = records[i].ignored0;
        le::Write16(raw + kEntryIdAt, records[i].id);
        raw[kIgnoredSecondAt] = records[i].ignored3;
        le::Write32(raw + kEntryDataOffsetAt, records[i].dataOffset);
        le::Write32(raw + kEntryDataSizeAt, records[i].dataSize);
        Put(out, directoryAt_ + i * kResourceEntrySize, raw);
        if (items_[i].data)
            Put(out, records[i].dataOffset, *items_[i].data);
    }
    for (const Placement& placement : placements_)
        Put(out, placement.offset, placement.data);
    return out;
}

bool ContainerBuilder::write(const std::string& path) const {
    return WriteFileBytes(path, bytes());
}

} // namespace test
