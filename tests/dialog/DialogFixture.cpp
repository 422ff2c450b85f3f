// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogFixture.h"

#include "resfile/Catalogue.h"
#include "support/BmpBuilder.h"
#include "support/ProcessState.h"

#include <cstdlib>

namespace dialogtest {
namespace {

constexpr std::uint8_t kFill = 0xF6;
constexpr int kPictureWidth = 40;
constexpr int kPictureHeight = 12;

std::string FormatFor(ResourceId id) {
    switch (id) {
    case catalogue::kIdleStatusFormat:
    case catalogue::kDriveEntryFormat:
        return std::to_string(id) + " %c";
    case catalogue::kInvalidImageStatusFormat:
        return std::to_string(id) + " %s";
    case catalogue::kCylinderStatusFormat:
        return std::to_string(id) + " %d/%d";
    case catalogue::kFloppySuccessFormat:
    case catalogue::kCdSuccessFormat:
        return std::to_string(id) + " %s %c";
    default:
        return std::to_string(id);
    }
}

} // namespace

test::Bytes BootImage(std::uint32_t size) {
    test::Bytes image(size, kFill);
    for (std::uint32_t i = 0; i < std::min(size, kDataCylinders * catalogue::kCylinderBytes); ++i)
        image[i] = static_cast<std::uint8_t>(i * 13 + 7);
    return image;
}

test::ContainerBuilder FullContainer(std::optional<std::uint32_t> imageSize) {
    test::ContainerBuilder container;
    for (ResourceId id : catalogue::TextIdentifiers())
        container.add(id, FormatFor(id));
    container.add(catalogue::kPicture,
                  test::BmpBuilder(24, kPictureWidth, kPictureHeight).fill(0x3060C0).bytes());
    if (imageSize)
        container.add(catalogue::kBootImage, BootImage(*imageSize));
    return container;
}

void DialogFixture::SetUp() {
    test::ResetProcessState();
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.root());
}

void DialogFixture::TearDown() {
    std::filesystem::current_path(previousDirectory_);
    recorders_.reset();
    unsetenv("BOOTMEDIA_DRIVE_A");
    unsetenv("BOOTMEDIA_DRIVE_B");
    test::ResetProcessState();
}

void DialogFixture::Prepare(const test::ContainerBuilder& container, Devices devices) {
    ASSERT_TRUE(container.write(dir_.path("install.dat")));
    if (devices.floppy) {
        ASSERT_TRUE(test::WriteFileBytes(floppyPath(), test::Bytes(catalogue::kBootImageBytes, 0)));
    }
    setenv("BOOTMEDIA_DRIVE_A", devices.floppy ? floppyPath().c_str() : "", 1);
    setenv("BOOTMEDIA_DRIVE_B", "", 1);
    platform::layer::RecorderSources sources;
    sources.opticalDrives = false;
    if (devices.recorder)
        sources.files.push_back(discPath());
    recorders_.reset();
    recorders_ = std::make_unique<platform::layer::ScopedRecorderSources>(sources);
}

std::string DialogFixture::PrepareSample() {
    const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
    if (sample == nullptr || !std::filesystem::exists(sample))
        return {};
    Prepare(test::ContainerBuilder());
    std::filesystem::copy_file(sample, dir_.path("install.dat"),
                               std::filesystem::copy_options::overwrite_existing);
    return sample;
}

} // namespace dialogtest
