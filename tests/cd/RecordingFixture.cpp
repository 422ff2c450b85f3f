// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecordingFixture.h"

#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/StreamSource.h"

#include <cstring>

using platform::layer::FileDriveAddress;
using platform::layer::MakeStreamSource;

namespace recordtest {
namespace {

constexpr const char* kRecorderPath = "\\Device\\CdRom0";

// Reads bytes held in memory; every read that reaches failFrom fails.
platform::layer::ReadAt ReaderOf(std::shared_ptr<const test::Bytes> bytes, std::uint64_t failFrom) {
    return [bytes, failFrom](std::uint64_t offset, void* buffer, std::size_t count) {
        if (offset + count > failFrom)
            return false;
        std::memcpy(buffer, bytes->data() + offset, count);
        return true;
    };
}

} // namespace

void RecordingTest::putOlderDisc(std::size_t size) {
    older_.resize(size);
    for (std::size_t at = 0; at < size; ++at)
        older_[at] = static_cast<std::uint8_t>(at * 13 + at / kBlock);
    ASSERT_TRUE(test::WriteFileBytes(disc_, older_));
}

void RecordingTest::expectOlderDisc() const {
    EXPECT_TRUE(test::ReadFileBytes(disc_) == older_) << disc_ << " is not the older disc";
}

void RecordingTest::addFile(const std::string& name, test::Bytes bytes, std::uint64_t failFrom) {
    ASSERT_TRUE(image_);
    const auto held = std::make_shared<const test::Bytes>(std::move(bytes));
    ASSERT_EQ(image_->addFile(
                  name, MakeStreamSource(ReaderOf(held, failFrom), held->size(), readFailed_)),
              win::S_OK);
}

win::HRESULT RecordingTest::record(platform::layer::RecordingRequest request) {
    EXPECT_TRUE(image_);
    if (!image_)
        return win::E_FAIL;
    return platform::layer::RecordImage({kRecorderPath, FileDriveAddress(disc_)}, *image_, request,
                                        *readFailed_);
}

} // namespace recordtest
