// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The ground every floppy test stands on: a fixture that gives the process-wide records a clean
// start and end, builds the test's container with the floppy texts and a boot image, maps drives
// onto image files through the layer's real devices, and runs a job as the dialog does: the
// worker on a thread of its own, beside a thread that polls JobState as the monitor does.

#include "platform/linux/DeviceRegistry.h"
#include "support/CapturedLog.h"
#include "support/ContainerBuilder.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempDir.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <string>

namespace floppytest {

inline constexpr char kCaption[] = "Floppy error";
inline constexpr char kReadError[] = "The boot image cannot be read";
inline constexpr char kNoVwin32[] = "VWIN32 is not there";
inline constexpr char kWriteError[] = "The floppy cannot be written";
inline constexpr char kNoMemory9x[] = "No memory (9x)";
inline constexpr char kLockError[] = "The floppy cannot be locked";
inline constexpr char kNoMemoryNt[] = "No memory (NT)";

inline constexpr std::uint8_t kUntouched = 0xA5; ///< what a blank test disk holds
inline constexpr std::uint8_t kFill = 0xF6;
inline constexpr std::uint32_t kCylinderBytes = 18432;
inline constexpr std::uint32_t kImageBytes = 1474560;

/// A boot image whose cylinders 0 .. dataCylinders - 1 hold bytes that differ from cylinder to
/// cylinder, the rest fill.
test::Bytes BootImage(std::uint32_t dataCylinders);

/// The bytes of one cylinder of an image or disk.
std::span<const std::uint8_t> CylinderOf(std::span<const std::uint8_t> disk, std::uint32_t index);

/// What a polling thread saw of a job while it ran.
struct JobTrace {
    bool sawBusy = false;
    std::int32_t highestProgress = 0;
};

class FloppyTest : public ::testing::Test {
protected:
    FloppyTest();
    ~FloppyTest() override;

    /// Writes a container with the floppy texts and image as entry 10000, of which only the
    /// first imageBytesInFile bytes are in the file, and opens it into JobState.
    void OpenContainer(std::span<const std::uint8_t> image,
                       std::uint32_t imageBytesInFile = kImageBytes);
    /// Opens the sample container at BOOTMEDIA_SAMPLE into JobState and returns its boot image;
    /// empty when there is none.
    test::Bytes OpenSampleContainer();

    /// A disk image file of 1,474,560 bytes of kUntouched in the test's folder.
    std::string BlankDisk(const std::string& name);

    /// Maps \\.\X: onto the image file through the layer's volume device.
    std::unique_ptr<platform::layer::ScopedDevice> MountImageDrive(char letter,
                                                                   const std::string& path);

    /// Makes \\.\X: a drive that does not exist, whatever the machine has.
    static std::unique_ptr<platform::layer::ScopedDevice> MountNoDrive(char letter);

    /// Runs FloppyWorkerThread on a thread of its own and waits for it, polling JobState
    /// meanwhile.
    JobTrace RunWorker();

    test::TempDir dir_;
    test::MessageBoxRecorder boxes_;
    /// The reasons the layer logs stay in the test's folder.
    test::CapturedLog log_{dir_};
};

} // namespace floppytest
