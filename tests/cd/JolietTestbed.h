// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A disc master opened on one file recorder in a test's own folder, with the steps the CD build
// job takes on it: staging a storage of streams and setting the boot properties.

#include "platform/ComApartment.h"
#include "platform/ComPtr.h"
#include "platform/ImageMastering.h"
#include "platform/Storage.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace disctest {

/// A stream's name and contents.
using StreamFile = std::pair<std::u16string, test::Bytes>;

/// El Torito's 80x86 platform and 1.44 MB diskette emulation, the job's boot settings.
inline constexpr std::uint8_t kPlatform80x86 = 0;
inline constexpr std::uint8_t kMediaFloppy144 = 2;
inline constexpr std::size_t kFloppyBytes = 1474560;

/// A temporary storage holding one stream per file, in order.
platform::ComPtr<win::IStorage> StorageWith(const std::vector<StreamFile>& files);

/// A floppy image of size bytes of one fill value, for the checks of sizes and settings.
test::Bytes FilledFloppy(std::size_t size = kFloppyBytes);

class JolietTest : public ::testing::Test {
protected:
    /// Opens the disc master with the recorder discPath() as the active one.
    void SetUp() override;

    /// The .iso file the recorder records into.
    const std::string& discPath() const { return disc_; }

    /// AddData of a storage with the files.
    win::HRESULT addFiles(const std::vector<StreamFile>& files, win::LONG overwrite = 1);

    /// The job's property pass: boot on, the platform and media type given, and floppy copied
    /// into the stream of property 8; then SetJolietProperties, whose result is returned.
    win::HRESULT setBoot(const test::Bytes& floppy, std::uint8_t platform = kPlatform80x86,
                         std::uint8_t media = kMediaFloppy144);

    /// RecordDisc without simulation, ejecting.
    win::HRESULT record() { return master_->RecordDisc(0, 1); }

    platform::ComApartment apartment_;
    test::TempDir dir_;
    std::string disc_ = dir_.path("disc.iso");
    std::unique_ptr<platform::layer::ScopedRecorderSources> sources_;
    platform::ComPtr<win::IDiscMaster> master_;
    platform::ComPtr<win::IJolietDiscMaster> joliet_;
};

} // namespace disctest
