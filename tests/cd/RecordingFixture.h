// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// RecordImage onto a file recorder in a test's own folder: an image of files held in memory,
// an older disc to be kept when the recording fails, and the layer's log captured.

#include "platform/Com.h"
#include "platform/linux/cd/DiscRecording.h"
#include "platform/linux/cd/JolietImage.h"
#include "support/CapturedLog.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace recordtest {

inline constexpr std::size_t kBlock = 2048;
inline constexpr std::size_t kOlderDiscBytes = 5 * kBlock + 3;

class RecordingTest : public ::testing::Test {
protected:
    /// The .iso the recorder records into: "disc.iso" in the test's folder unless useDisc
    /// named another.
    const std::string& discPath() const { return disc_; }
    void useDisc(std::string path) { disc_ = std::move(path); }

    /// Puts an older disc of that many bytes of a pattern at discPath().
    void putOlderDisc(std::size_t size = kOlderDiscBytes);
    /// Expects the older disc at discPath(), byte for byte.
    void expectOlderDisc() const;

    /// Adds a file to the image, whose reads fail from byte failFrom on.
    void addFile(const std::string& name, test::Bytes bytes, std::uint64_t failFrom = UINT64_MAX);

    /// RecordImage of the image onto the recorder.
    win::HRESULT record(platform::layer::RecordingRequest request = {});

    test::TempDir dir_;
    test::CapturedLog log_{dir_};

private:
    std::string disc_ = dir_.path("disc.iso");
    std::optional<platform::layer::JolietImage> image_ = platform::layer::JolietImage::Create();
    std::shared_ptr<std::atomic<bool>> readFailed_ = std::make_shared<std::atomic<bool>>(false);
    test::Bytes older_;
};

} // namespace recordtest
