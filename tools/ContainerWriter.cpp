// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/ContainerWriter.h"

#include "resfile/LittleEndian.h"
#include "tools/FileIo.h"

#include <algorithm>
#include <array>
#include <vector>

using namespace win;

namespace tools {
namespace {

// Field offsets of the header and of a directory record.
constexpr std::size_t kHeaderMagic = 0;
constexpr std::size_t kHeaderCount = 4;
constexpr std::size_t kHeaderVersion = 6;
constexpr std::size_t kHeaderDirectory = 10;
constexpr std::size_t kRecordId = 1;
constexpr std::size_t kRecordOffset = 4;
constexpr std::size_t kRecordSize = 8;

constexpr std::size_t kCopyPiece = 1 << 16;

bool WriteHeader(HANDLE container, std::uint16_t count) {
    std::array<std::uint8_t, kResourceHeaderSize> header{};
    le::Write32(header.data() + kHeaderMagic, kResourceMagic);
    le::Write16(header.data() + kHeaderCount, count);
    le::Write16(header.data() + kHeaderVersion, kResourceVersion);
    le::Write32(header.data() + kHeaderDirectory, kResourceHeaderSize);
    return SeekTo(container, 0) && WriteAll(container, header.data(), header.size());
}

bool WriteDirectory(HANDLE container, std::span<const ContainerEntry> entries) {
    std::vector<std::uint8_t> directory(entries.size() * kResourceEntrySize, 0);
    std::uint64_t offset = kResourceHeaderSize + directory.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint8_t* record = directory.data() + i * kResourceEntrySize;
        le::Write16(record + kRecordId, entries[i].id);
        le::Write32(record + kRecordOffset, static_cast<std::uint32_t>(offset));
        le::Write32(record + kRecordSize, static_cast<std::uint32_t>(entries[i].size));
        offset += entries[i].size;
    }
    return WriteAll(container, directory.data(), directory.size());
}

bool CopyFileData(HANDLE container, const ContainerEntry& entry, std::string* error) {
    const platform::FileHandle file = OpenInput(entry.path);
    if (!file) {
        *error = "cannot open " + entry.path;
        return false;
    }
    std::vector<std::uint8_t> piece(kCopyPiece);
    for (std::uint64_t left = entry.size; left > 0;) {
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
        if (!ReadExactly(file.get(), piece.data(), size)) {
            *error = "cannot read " + entry.path + " (or it shrank while being read)";
            return false;
        }
        if (!WriteAll(container, piece.data(), size)) {
            *error = "cannot write the container";
            return false;
        }
        left -= size;
    }
    if (!AtEnd(file.get())) {
        *error = entry.path + " grew while being read";
        return false;
    }
    return true;
}

} // namespace

std::uint64_t ContainerBytes(std::span<const ContainerEntry> entries) {
    std::uint64_t total = kResourceHeaderSize + std::uint64_t{kResourceEntrySize} * entries.size();
    for (const ContainerEntry& entry : entries)
        total += entry.size;
    return total;
}

bool WriteContainer(HANDLE container, std::span<const ContainerEntry> entries, std::string* error) {
    if (!SeekTo(container, kResourceHeaderSize) || !WriteDirectory(container, entries)) {
        *error = "cannot write the container's directory";
        return false;
    }
    for (const ContainerEntry& entry : entries) {
        if (!entry.path.empty()) {
            if (!CopyFileData(container, entry, error))
                return false;
        } else if (!WriteAll(container, entry.text.data(), entry.text.size())) {
            *error = "cannot write the container";
            return false;
        }
    }
    if (!WriteHeader(container, static_cast<std::uint16_t>(entries.size()))) {
        *error = "cannot write the container's header";
        return false;
    }
    return true;
}

} // namespace tools
