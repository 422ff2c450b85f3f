// SPDX-License-Identifier: GPL-2.0-or-later
// The sample's boot floppy image, started in an emulated PC. The boot code reports its verdict
// on the emulator's debug console and leaves through the exit device: status 33 for a disk that
// booted and checked out, 35 for one whose second stage is damaged.
#include "platform/ScopedHandle.h"
#include "resfile/Catalogue.h"
#include "resfile/ResourceFile.h"
#include "support/ContainerBuilder.h"
#include "support/DiscTools.h"
#include "support/Programs.h"
#include "support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

using test::Bytes;

constexpr const char* kEmulator = "qemu-system-i386";
constexpr int kBootedStatus = 33;  // exit device value 0x10
constexpr int kDamagedStatus = 35; // exit device value 0x11
constexpr const char* kBootedMarker = "BOOTMEDIA-OK";
constexpr const char* kDamagedMarker = "BOOTMEDIA-BAD";
constexpr std::uint8_t kFill = 0xF6;
// The floppy image's data cylinders: a boot sector, its second stage and a small FAT12 disk.
constexpr std::uint32_t kMaxWrittenCylinders = 4;

Bytes SampleBootImage() {
    const platform::FileHandle file(OpenResourceFile(SAMPLE_CONTAINER, true));
    std::uint16_t count = 0;
    const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file.get(), &count));
    std::uint32_t size = 0;
    const std::unique_ptr<void, FreeDeleter> data(
        ReadResourceData(file.get(), catalogue::kBootImage, directory.get(), &size));
    EXPECT_EQ(GetResourceError(), kResourceOk);
    if (!data)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data.get());
    return Bytes(bytes, bytes + size);
}

// The number of cylinders a floppy writer puts on the disk: up to the first all-fill one.
std::uint32_t WrittenCylinders(const Bytes& image) {
    for (std::uint32_t cylinder = 0; cylinder < catalogue::kCylinders; ++cylinder) {
        const auto first = image.begin() + cylinder * catalogue::kCylinderBytes;
        if (std::all_of(first, first + catalogue::kCylinderBytes,
                        [](std::uint8_t b) { return b == kFill; }))
            return cylinder + 1;
    }
    return catalogue::kCylinders;
}

// Boots the image as floppy drive A: of an emulated PC.
disctest::Run BootImage(test::TempDir& dir, const Bytes& image) {
    EXPECT_TRUE(test::WriteFileBytes(dir.path("floppy.img"), image));
    return disctest::BootFloppy(dir.path("floppy.img"), dir.path("debug.log"));
}

class SampleBoot : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveProgram(kEmulator))
            GTEST_SKIP() << kEmulator << " is not installed";
        image_ = SampleBootImage();
        ASSERT_EQ(image_.size(), catalogue::kBootImageBytes);
    }
    Bytes image_;
};

// checks that the whole sample image starts a PC and its boot code finds itself sound
TEST_F(SampleBoot, ImageBoots) {
    test::TempDir dir;
    const disctest::Run boot = BootImage(dir, image_);
    EXPECT_EQ(boot.status, kBootedStatus) << boot.output;
    EXPECT_NE(boot.output.find(kBootedMarker), std::string::npos) << boot.output;
}

// checks that a blank disk holding only the cylinders a floppy writer puts on it boots too, and
// that those are few
TEST_F(SampleBoot, WrittenCylindersAloneBoot) {
    const std::uint32_t written = WrittenCylinders(image_);
    EXPECT_LE(written, kMaxWrittenCylinders);
    Bytes disk(catalogue::kBootImageBytes, 0);
    std::copy_n(image_.begin(), written * catalogue::kCylinderBytes, disk.begin());
    test::TempDir dir;
    const disctest::Run boot = BootImage(dir, disk);
    EXPECT_EQ(boot.status, kBootedStatus) << boot.output;
    EXPECT_NE(boot.output.find(kBootedMarker), std::string::npos) << boot.output;
}

// checks that the boot sector refuses a damaged second stage instead of running it
TEST_F(SampleBoot, DamagedSecondStageIsReported) {
    constexpr std::size_t kInSecondStage = catalogue::kSectorBytes * 3 + 100;
    image_[kInSecondStage] ^= 0x01;
    test::TempDir dir;
    const disctest::Run boot = BootImage(dir, image_);
    EXPECT_EQ(boot.status, kDamagedStatus) << boot.output;
    EXPECT_NE(boot.output.find(kDamagedMarker), std::string::npos) << boot.output;
}

} // namespace
