// SPDX-License-Identifier: GPL-2.0-or-later
// A container that another program rewrites while the reader works on it: the share lock on
// Linux is advisory, so the header may claim more records than the directory copy just read.
#include "platform/Files.h"
#include "platform/ScopedHandle.h"
#include "platform/linux/DeviceRegistry.h"
#include "resfile/ResourceFile.h"
#include "support/ContainerBuilder.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

using namespace win;
using platform::FileHandle;
using test::Bytes;

namespace {

constexpr const char* kRewrittenDevice = R"(\\.\REWRITTEN)";
constexpr std::uint16_t kRecords = 6000;
constexpr std::uint16_t kClaimedRecords = 0xFFFF;
constexpr std::uint32_t kDirectoryEnd = kResourceHeaderSize + kRecords * kResourceEntrySize;
constexpr ResourceId kMissing = 7000;

// The container's bytes, served to one handle. The moment a read reaches the end of the
// directory, the header's record count becomes 65,535, as if another program had rewritten it
// between the directory read and the search that follows.
class RewrittenContainer final : public platform::layer::KernelObject {
public:
    explicit RewrittenContainer(Bytes bytes) : bytes_(std::move(bytes)) {}

    bool read(void* buffer, DWORD toRead, DWORD* bytesRead) override {
        const std::uint64_t start = std::min<std::uint64_t>(position_, bytes_.size());
        const auto count =
            static_cast<DWORD>(std::min<std::uint64_t>(toRead, bytes_.size() - start));
        std::memcpy(buffer, bytes_.data() + start, count);
        position_ += count;
        if (position_ == kDirectoryEnd) {
            bytes_[kHeaderEntryCountAt] = kClaimedRecords & 0xFF;
            bytes_[kHeaderEntryCountAt + 1] = kClaimedRecords >> 8;
        }
        if (bytesRead)
            *bytesRead = count;
        return true;
    }

    bool seek(std::int64_t distance, DWORD method, std::uint64_t* newPosition) override {
        const std::int64_t base = method == FILE_END       ? std::int64_t(bytes_.size())
                                  : method == FILE_CURRENT ? std::int64_t(position_)
                                                           : 0;
        position_ = static_cast<std::uint64_t>(base + distance);
        if (newPosition)
            *newPosition = position_;
        SetLastError(ERROR_SUCCESS);
        return true;
    }

private:
    Bytes bytes_;
    std::uint64_t position_ = 0;
};

Bytes ManyTexts() {
    test::ContainerBuilder builder;
    for (std::uint16_t id = 1; id <= kRecords; ++id)
        builder.add(id, "text " + std::to_string(id));
    return builder.bytes();
}

// checks that every lookup inside the reader searches only the records of the directory copy it
// read, not the count a rewritten header claims afterwards (past the copy lies the heap)
TEST(RewrittenContainer, SearchesKeepToTheDirectoryCopy) {
    const Bytes bytes = ManyTexts();
    platform::layer::ScopedDevice mount(kRewrittenDevice, [&](const platform::layer::OpenRequest&) {
        return std::make_shared<RewrittenContainer>(bytes);
    });
    const auto open = [] { return FileHandle(OpenResourceFile(kRewrittenDevice, true)); };

    FileHandle file = open();
    ASSERT_TRUE(file);
    EXPECT_STREQ(ReadResourceText(file.get(), kMissing).get(), "");
    file = open();
    EXPECT_STREQ(ReadResourceText(file.get(), kRecords).get(), "text 6000");

    file = open();
    std::uint32_t size = 0;
    GetResourceLocation(file.get(), kMissing, &size);
    EXPECT_EQ(GetResourceError(), kResourceNotFound);

    file = open();
    EXPECT_EQ(LoadResourceBitmap(file.get(), kMissing), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceOk);

    // A caller holding a copy and its count searches the same way.
    file = open();
    std::uint16_t count = 0;
    const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file.get(), &count));
    ASSERT_EQ(count, kRecords);
    ResourceEntry entry;
    FindResourceEntry(file.get(), kMissing, directory.get(), count, &entry);
    EXPECT_EQ(GetResourceError(), kResourceNotFound);
    EXPECT_EQ(ReadResourceData(file.get(), kMissing, directory.get(), count, &size), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceNotFound);
    const std::unique_ptr<void, FreeDeleter> data(
        ReadResourceData(file.get(), 1, directory.get(), count, &size));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(data.get()), size), "text 1");
}

} // namespace
