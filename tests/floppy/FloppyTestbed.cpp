// SPDX-License-Identifier: GPL-2.0-or-later
#include "FloppyTestbed.h"

#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWorker.h"
#include "platform/Files.h"
#include "platform/linux/VolumeDevice.h"
#include "resfile/Catalogue.h"
#include "support/ProcessState.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace floppytest {

test::Bytes BootImage(std::uint32_t dataCylinders) {
    test::Bytes image(kImageBytes, kFill);
    for (std::uint32_t at = 0; at < dataCylinders * kCylinderBytes; ++at)
        image[at] = static_cast<std::uint8_t>(at / kCylinderBytes * 3 + at % 251);
    return image;
}

std::span<const std::uint8_t> CylinderOf(std::span<const std::uint8_t> disk, std::uint32_t index) {
    return disk.subspan(std::size_t{index} * kCylinderBytes, kCylinderBytes);
}

FloppyTest::FloppyTest() {
    test::ResetProcessState();
}

FloppyTest::~FloppyTest() {
    const win::HANDLE container = JobState.resourceFile;
    test::ResetProcessState();
    if (IsOpenHandle(container))
        CloseResourceFile(container);
}

void FloppyTest::OpenContainer(std::span<const std::uint8_t> image,
                               std::uint32_t imageBytesInFile) {
    test::ContainerBuilder builder;
    builder.add(catalogue::kErrorCaption, kCaption)
        .add(catalogue::kInvalidImageError, kReadError)
        .add(catalogue::kNoVwin32Error, kNoVwin32)
        .add(catalogue::kFloppyWriteError, kWriteError)
        .add(catalogue::kNoMemory9xError, kNoMemory9x)
        .add(catalogue::kLockError, kLockError)
        .add(catalogue::kCdQuestion, kNoMemoryNt)
        .add(catalogue::kBootImage, image);
    const std::string path = dir_.path("install.dat");
    ASSERT_TRUE(builder.write(path));
    const std::uint32_t imageOffset = builder.dataOffsetOf(7);
    std::filesystem::resize_file(path, imageOffset + imageBytesInFile);
    const win::HANDLE file = OpenResourceFile(path.c_str(), true);
    ASSERT_TRUE(IsOpenHandle(file));
    JobState.resourceFile = file;
    JobState.bootImageOffset = static_cast<std::int32_t>(imageOffset);
}

test::Bytes FloppyTest::OpenSampleContainer() {
    const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
    if (sample == nullptr || !std::filesystem::exists(sample))
        return {};
    const win::HANDLE file = OpenResourceFile(sample, true);
    std::uint32_t size = 0;
    const std::uint32_t offset = GetResourceLocation(file, catalogue::kBootImage, &size);
    EXPECT_EQ(GetResourceError(), kResourceOk);
    EXPECT_EQ(size, kImageBytes);
    JobState.resourceFile = file;
    JobState.bootImageOffset = static_cast<std::int32_t>(offset);
    test::Bytes image = test::ReadFileBytes(sample);
    return test::Bytes(image.begin() + offset, image.begin() + offset + size);
}

std::string FloppyTest::BlankDisk(const std::string& name) {
    const std::string path = dir_.path(name);
    EXPECT_TRUE(test::WriteFileBytes(path, test::Bytes(kImageBytes, kUntouched)));
    return path;
}

std::unique_ptr<platform::layer::ScopedDevice>
FloppyTest::MountImageDrive(char letter, const std::string& path) {
    return std::make_unique<platform::layer::ScopedDevice>(
        std::string("\\\\.\\") + letter + ":", [path](const platform::layer::OpenRequest& request) {
            return platform::layer::VolumeDevice::open({path, true}, request);
        });
}

std::unique_ptr<platform::layer::ScopedDevice> FloppyTest::MountNoDrive(char letter) {
    return std::make_unique<platform::layer::ScopedDevice>(
        std::string("\\\\.\\") + letter + ":", [](const platform::layer::OpenRequest&) {
            win::SetLastError(win::ERROR_FILE_NOT_FOUND);
            return std::shared_ptr<platform::layer::KernelObject>();
        });
}

JobTrace FloppyTest::RunWorker() {
    JobTrace trace;
    std::atomic<bool> done{false};
    std::thread monitor([&] {
        while (!done) {
            trace.sawBusy = trace.sawBusy || JobState.busy;
            trace.highestProgress = std::max(trace.highestProgress, JobState.progress.load());
            std::this_thread::yield();
        }
    });
    std::thread worker(FloppyWorkerThread, nullptr);
    worker.join();
    done = true;
    monitor.join();
    return trace;
}

} // namespace floppytest
