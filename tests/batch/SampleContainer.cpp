// SPDX-License-Identifier: GPL-2.0-or-later
#include "SampleContainer.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace batchtest {
namespace {

struct Container {
    explicit Container(const std::string& path) : file(OpenResourceFile(path.c_str(), true)) {
        directory.reset(ReadResourceDirectory(file, &count));
    }
    ~Container() { CloseResourceFile(file); }
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    test::Bytes data(ResourceId id) const {
        std::uint32_t size = 0;
        std::unique_ptr<void, FreeDeleter> bytes(
            ReadResourceData(file, id, directory.get(), &size));
        const auto* first = static_cast<const std::uint8_t*>(bytes.get());
        return first != nullptr ? test::Bytes(first, first + size) : test::Bytes();
    }

    win::HANDLE file;
    std::uint16_t count = 0;
    std::unique_ptr<ResourceEntry, FreeDeleter> directory;
};

} // namespace

std::string SamplePath() {
    const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
    return sample != nullptr && std::filesystem::exists(sample) ? sample : "";
}

test::Bytes EntryBytes(const std::string& path, ResourceId id) {
    return Container(path).data(id);
}

std::string EntryText(const std::string& path, ResourceId id) {
    const Container container(path);
    const ResourceText text = ReadResourceText(container.file, id);
    return text ? text.get() : "";
}

std::string TextBeforeArguments(const std::string& path, ResourceId id) {
    const std::string text = EntryText(path, id);
    return text.substr(0, text.find('%'));
}

test::ContainerBuilder ContainerWith(const std::string& path, ResourceId id,
                                     const test::Bytes& data) {
    const Container container(path);
    test::ContainerBuilder builder;
    for (std::uint16_t i = 0; i < container.count; ++i) {
        const ResourceId entry = container.directory.get()[i].id();
        builder.add(entry, entry == id ? data : container.data(entry));
    }
    return builder;
}

} // namespace batchtest
