// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Container.h"

#include "tools/ContainerLimits.h"

#include <string_view>

using namespace win;

namespace tools {
namespace {

constexpr std::string_view kBeyondReach =
    "; the reader positions with a signed 32-bit offset and reaches no byte from 2 GiB "
    "(2147483648) on";

// Why the directory could not be read, when the reader's error 1 hides a directory beyond
// 2 GiB.
std::string DescribeDirectoryFailure(win::HANDLE file, std::int32_t code) {
    ResourceHeader header;
    ReadResourceHeader(file, &header);
    if (GetResourceError() == kResourceOk && code == kResourceIoError &&
        header.directoryOffset > kMaxContainerBytes)
        return "has its directory at offset " + std::to_string(header.directoryOffset) +
               std::string(kBeyondReach);
    return DescribeResourceError(code);
}

} // namespace

std::optional<Container> Container::Open(const std::string& path, std::string* error) {
    Container container;
    container.file_.reset(OpenResourceFile(path.c_str(), true));
    std::int32_t code = GetResourceError();
    if (code != kResourceOk) {
        *error = path + ": " + DescribeResourceError(code);
        return std::nullopt;
    }
    container.directory_.reset(ReadResourceDirectory(container.file_.get(), &container.count_));
    code = GetResourceError();
    if (code != kResourceOk) {
        *error = path + ": " + DescribeDirectoryFailure(container.file_.get(), code);
        return std::nullopt;
    }
    return container;
}

std::span<const ResourceEntry> Container::entries() const {
    if (!directory_)
        return {};
    return {directory_.get(), count_};
}

std::optional<ResourceEntry> Container::find(ResourceId id) const {
    ResourceEntry entry;
    FindResourceEntry(file_.get(), id, directory_.get(), count_, &entry);
    if (GetResourceError() != kResourceOk)
        return std::nullopt;
    return entry;
}

std::optional<std::string> Container::read(ResourceId id) const {
    // Read straight into the one copy handed out: a text of many megabytes is held once.
    const std::optional<ResourceEntry> entry = find(id);
    if (!entry || reach(*entry) != DataReach::Readable)
        return std::nullopt;
    std::string data(entry->dataSize(), '\0');
    if (!readAt(entry->dataOffset(), data.data(), entry->dataSize()))
        return std::nullopt;
    return data;
}

bool Container::readAt(std::uint32_t offset, void* buffer, std::uint32_t size) const {
    std::uint32_t got = 0;
    return ReadResourceBytesAt(file_.get(), offset, buffer, size, &got) && got == size;
}

DataReach Container::reach(const ResourceEntry& entry) const {
    const std::uint64_t end = std::uint64_t{entry.dataOffset()} + entry.dataSize();
    if (end > kMaxContainerBytes)
        return DataReach::BeyondReach;
    std::uint8_t last = 0;
    const bool inside = entry.dataSize() == 0
                            ? readAt(entry.dataOffset(), &last, 0)
                            : readAt(static_cast<std::uint32_t>(end - 1), &last, 1);
    return inside ? DataReach::Readable : DataReach::OutsideFile;
}

std::string DescribeResourceError(std::int32_t code) {
    switch (code) {
    case kResourceIoError:
        return "cannot be read (cut short, or data outside the file)";
    case kResourceBadMagic:
        return "is not a resource container (wrong magic number)";
    case kResourceBadVersion:
        return "is a container of a newer format version";
    case kResourceCannotOpen:
        return "cannot be opened";
    case kResourceNoMemory:
        return "does not fit in memory";
    case kResourceNotFound:
        return "has no such entry";
    default:
        return "fails with reader error " + std::to_string(code);
    }
}

std::string DescribeUnreachable(const ResourceEntry& entry, DataReach reach) {
    const std::string data = "its data (" + std::to_string(entry.dataSize()) + " bytes at offset " +
                             std::to_string(entry.dataOffset()) + ")";
    if (reach == DataReach::BeyondReach)
        return data + " run to 2 GiB or beyond" + std::string(kBeyondReach);
    return data + " do not lie inside the file";
}

} // namespace tools
