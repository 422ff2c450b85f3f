// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A working folder with install.dat as the current directory, an image-file floppy drive A: and
// a file recorder, for running the real main dialog offscreen. Each test builds its container.

#include "platform/VersionOverride.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace dialogtest {

inline constexpr std::uint32_t kDataCylinders = 2;

/// A boot image whose first kDataCylinders cylinders hold data and the rest fill bytes.
test::Bytes BootImage(std::uint32_t size);

/// Every catalogue text as "<id>" with formats that fit their arguments, the picture, and a
/// boot image of imageSize bytes (none when imageSize is nullopt).
test::ContainerBuilder FullContainer(std::optional<std::uint32_t> imageSize);

struct Devices {
    bool floppy = true;
    bool recorder = true;
};

class DialogFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Writes the container as install.dat and sets up the devices.
    void Prepare(const test::ContainerBuilder& container, Devices devices = {});

    /// Prepare with the built sample container (BOOTMEDIA_SAMPLE) as install.dat; its path, or
    /// "" when there is none (the test then skips).
    std::string PrepareSample();

    std::string floppyPath() { return dir_.path("floppy.img"); }
    std::string discPath() { return dir_.path("disc.iso"); }

    test::TempDir dir_;

private:
    std::filesystem::path previousDirectory_;
    std::unique_ptr<platform::layer::ScopedRecorderSources> recorders_;
};

} // namespace dialogtest
