// SPDX-License-Identifier: GPL-2.0-or-later
// Recording an image into a file recorder, below the disc master: what the disc holds when
// every stream reads, and what is left when one does not.
#include "platform/linux/cd/DiscRecording.h"

#include "support/DiscTools.h"
#include "platform/ImageMastering.h"
#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/StreamSource.h"
#include "support/TempDir.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>

using namespace win;
using platform::layer::JolietImage;
using platform::layer::MakeStreamSource;
using platform::layer::RecorderEntry;
using platform::layer::RecordImage;
using test::Bytes;

namespace {

constexpr std::size_t kBlock = 2048;

// A stream over bytes in memory that fails every read from failFrom on.
platform::layer::ReadAt ReaderOf(std::shared_ptr<const Bytes> bytes,
                                 std::uint64_t failFrom = UINT64_MAX) {
    return [bytes, failFrom](std::uint64_t offset, void* buffer, std::size_t count) {
        if (offset + count > failFrom)
            return false;
        std::memcpy(buffer, bytes->data() + offset, count);
        return true;
    };
}

RecorderEntry FileRecorder(const std::string& path) {
    return {"\\Device\\CdRom0", platform::layer::FileDriveAddress(path)};
}

} // namespace

// checks that files of the same size each keep their own bytes (libisofs must not take them
// for one), and that sizes around the block size, and a file larger than the stream reads
// ahead, come out whole.
TEST(DiscRecording, FilesKeepTheirOwnBytes) {
    test::TempDir dir;
    std::optional<JolietImage> image = JolietImage::Create();
    ASSERT_TRUE(image);
    const auto failed = std::make_shared<std::atomic<bool>>(false);
    std::map<std::string, Bytes> expected;
    const std::size_t sizes[] = {0,          1,          kBlock - 1, kBlock,
                                 kBlock + 1, 5 * kBlock, 5 * kBlock, 100 * kBlock + 7};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        auto bytes = std::make_shared<Bytes>(sizes[i]);
        for (std::size_t at = 0; at < bytes->size(); ++at)
            (*bytes)[at] = static_cast<std::uint8_t>(at * 7 + at / kBlock * 31 + i);
        const std::string name = "file" + std::to_string(i) + ".bin";
        expected[name] = *bytes;
        ASSERT_EQ(image->addFile(name, MakeStreamSource(ReaderOf(bytes), bytes->size(), failed)),
                  S_OK);
    }
    ASSERT_EQ(RecordImage(FileRecorder(dir.path("disc.iso")), *image, {}, *failed), S_OK);
    EXPECT_EQ(std::filesystem::file_size(dir.path("disc.iso")) % kBlock, 0u);
    EXPECT_EQ(disctest::DiscFiles(dir.path("disc.iso"), dir.path("files")), expected);
}

// checks that a stream that fails to read makes the recording fail with IMAPI_E_FILEACCESS
// and leaves no .iso behind, where libisofs alone would have written zeros and succeeded.
TEST(DiscRecording, FailedReadLeavesNoDisc) {
    test::TempDir dir;
    std::ofstream(dir.path("disc.iso")) << "an older disc";
    std::optional<JolietImage> image = JolietImage::Create();
    ASSERT_TRUE(image);
    const auto failed = std::make_shared<std::atomic<bool>>(false);
    const auto bytes = std::make_shared<const Bytes>(3 * kBlock, 0x5A);
    ASSERT_EQ(
        image->addFile("a.bin", MakeStreamSource(ReaderOf(bytes, kBlock), bytes->size(), failed)),
        S_OK);
    EXPECT_EQ(RecordImage(FileRecorder(dir.path("disc.iso")), *image, {}, *failed),
              IMAPI_E_FILEACCESS);
    EXPECT_FALSE(std::filesystem::exists(dir.path("disc.iso")));
}
