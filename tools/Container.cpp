// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Container.h"

#include "tools/ContainerLimits.h"

using namespace win;

namespace tools {

std::optional<Container> Container::Open(const std::string& path, std::string* error) {
    Container container;
    container.file_.reset(OpenResourceFile(path.c_str(), true));
    std::int32_t code = GetResourceError();
    if (code == kResourceOk) {
        container.directory_.reset(ReadResourceDirectory(container.file_.get(), &container.count_));
        code = GetResourceError();
    }
    if (code != kResourceOk) {
        *error = path + ": " + DescribeResourceError(code);
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
    FindResourceEntry(file_.get(), id, directory_.get(), &entry);
    if (GetResourceError() != kResourceOk)
        return std::nullopt;
    return entry;
}

std::optional<std::string> Container::read(ResourceId id) const {
    std::uint32_t size = 0;
    const std::unique_ptr<void, FreeDeleter> data(
        ReadResourceData(file_.get(), id, directory_.get(), &size));
    if (GetResourceError() != kResourceOk || !data)
        return std::nullopt;
    return std::string(static_cast<const char*>(data.get()), size);
}

bool Container::readAt(std::uint32_t offset, void* buffer, std::uint32_t size) const {
    std::uint32_t got = 0;
    return ReadResourceBytesAt(file_.get(), offset, buffer, size, &got) && got == size;
}

bool Container::dataReadable(const ResourceEntry& entry) const {
    const std::uint64_t end = std::uint64_t{entry.dataOffset()} + entry.dataSize();
    if (end > kMaxContainerBytes)
        return false;
    std::uint8_t last = 0;
    if (entry.dataSize() == 0)
        return readAt(entry.dataOffset(), &last, 0);
    return readAt(static_cast<std::uint32_t>(end - 1), &last, 1);
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

} // namespace tools
