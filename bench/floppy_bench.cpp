// SPDX-License-Identifier: GPL-2.0-or-later
// Floppy figures: the extent scan of the sample image, and the NT writer putting an image of 80
// data cylinders and the sample image onto an image-file drive (A: mapped by BOOTMEDIA_DRIVE_A,
// as a user would), beside dd writing the whole image to the same kind of file. The writer reads
// every cylinder back; the read-back alone is timed too (the same reads through the locked
// volume), and what it adds on a real 300 rpm drive is worked out from the drive's rotation.
//
// Usage: floppy_bench [SAMPLE_CONTAINER]   (default: $BOOTMEDIA_SAMPLE)

#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "floppy/ExtentScan.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWriter.h"
#include "platform/Devices.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"
#include "resfile/LittleEndian.h"
#include "resfile/ResourceFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kScanRuns = 50;
constexpr int kWriteRuns = 5;
constexpr std::uint8_t kFill = 0xF6;
constexpr std::uint8_t kBlank = 0x00;
constexpr std::uint32_t kDataOffset = kResourceHeaderSize + kResourceEntrySize;

// A 3.5-inch drive turns at 300 rpm: one revolution passes one track under a head. Reading a
// cylinder back takes its two tracks, one revolution each, after waiting on average half a
// revolution for its first sector to come round.
constexpr double kRevolutionMilliseconds = 60'000.0 / 300;
constexpr double kTracksPerCylinder = 2;
constexpr double kAverageWaitRevolutions = 0.5;

double Milliseconds(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

template <typename Action> double MedianMilliseconds(int runs, Action action) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        action();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A container whose only entry is the boot image.
Bytes ContainerOf(const Bytes& image) {
    Bytes bytes(kDataOffset + image.size());
    le::Write32(&bytes[kHeaderMagicAt], kResourceMagic);
    le::Write16(&bytes[kHeaderEntryCountAt], 1);
    le::Write16(&bytes[kHeaderVersionAt], kResourceVersion);
    le::Write32(&bytes[kHeaderDirectoryOffsetAt], kResourceHeaderSize);
    std::uint8_t* entry = &bytes[kResourceHeaderSize];
    le::Write16(entry + kEntryIdAt, catalogue::kBootImage);
    le::Write32(entry + kEntryDataOffsetAt, kDataOffset);
    le::Write32(entry + kEntryDataSizeAt, static_cast<std::uint32_t>(image.size()));
    std::copy(image.begin(), image.end(), bytes.begin() + kDataOffset);
    return bytes;
}

// Opens a container into JobState; false when it has no boot image of the right size.
bool OpenContainer(const std::string& path) {
    const win::HANDLE file = OpenResourceFile(path.c_str(), true);
    std::uint32_t size = 0;
    const std::uint32_t offset = GetResourceLocation(file, catalogue::kBootImage, &size);
    if (GetResourceError() != kResourceOk || size != catalogue::kBootImageBytes)
        return false;
    JobState.resourceFile = file;
    JobState.bootImageOffset = static_cast<std::int32_t>(offset);
    return true;
}

void CloseContainer() {
    CloseResourceFile(JobState.resourceFile.exchange(nullptr));
}

Bytes ImageOf(const std::string& container) {
    std::ifstream in(container, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto offset = static_cast<std::size_t>(JobState.bootImageOffset.load());
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + catalogue::kBootImageBytes));
}

// One job as the dialog runs it, on a blank disk: select mode for A:, then the NT writer. The
// time of the job alone, or a negative time when it failed.
double TimedJob(const std::string& disk) {
    WriteBytes(disk, Bytes(catalogue::kBootImageBytes, kBlank));
    const auto start = Clock::now();
    FloppyWriter writer;
    const bool selected = writer.DetectFloppyDrives(false, 0) == 1;
    if (selected)
        writer.WriteFloppyNT();
    const double elapsed = Milliseconds(Clock::now() - start);
    CloseFloppyVolume();
    return selected && !JobState.failed && !JobState.cancelRequested ? elapsed : -1.0;
}

// The job's read-back alone: count cylinders read through the locked volume of A:, each after a
// seek, as the writer reads them. False when a read failed.
bool ReadBack(std::int32_t count) {
    const win::HANDLE volume =
        win::CreateFileA("\\\\.\\A:", win::GENERIC_READ | win::GENERIC_WRITE,
                         win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING,
                         win::FILE_FLAG_NO_BUFFERING, nullptr);
    void* buffer =
        win::VirtualAlloc(nullptr, catalogue::kCylinderBytes, win::MEM_COMMIT, win::PAGE_READWRITE);
    win::DWORD returned = 0;
    bool ok = win::DeviceIoControl(volume, win::FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0,
                                   &returned, nullptr) != win::FALSE;
    for (std::int32_t cylinder = 0; ok && cylinder < count; ++cylinder) {
        win::DWORD read = 0;
        ok = win::SetFilePointer(volume,
                                 static_cast<win::LONG>(cylinder * catalogue::kCylinderBytes),
                                 nullptr, win::FILE_BEGIN) != win::INVALID_SET_FILE_POINTER &&
             win::ReadFile(volume, buffer, catalogue::kCylinderBytes, &read, nullptr) &&
             read == catalogue::kCylinderBytes;
    }
    win::VirtualFree(buffer, 0, win::MEM_RELEASE);
    win::CloseHandle(volume);
    return ok;
}

void BenchWriter(const char* name, const std::string& container, const std::string& folder) {
    if (!OpenContainer(container)) {
        std::printf("%-28s cannot open %s\n", name, container.c_str());
        return;
    }
    const std::string disk = folder + "/disk.img";
    const std::string image = folder + "/image.img";
    WriteBytes(image, ImageOf(container));
    std::vector<double> jobs;
    for (int run = 0; run < kWriteRuns; ++run)
        jobs.push_back(TimedJob(disk));
    std::sort(jobs.begin(), jobs.end());
    bool ok = jobs.front() >= 0;
    const double writer = jobs[jobs.size() / 2];
    const std::uint64_t bytes =
        std::uint64_t{static_cast<std::uint32_t>(JobState.cylinderCount.load())} *
        catalogue::kCylinderBytes;
    const std::string dd = "dd if='" + image + "' of='" + disk +
                           "' bs=18432 oflag=direct conv=notrunc,fsync status=none";
    const double ddTime =
        MedianMilliseconds(kWriteRuns, [&] { ok = std::system(dd.c_str()) == 0 && ok; });
    const std::int32_t count = JobState.cylinderCount;
    const double readBack = MedianMilliseconds(kWriteRuns, [&] { ok = ReadBack(count) && ok; });
    std::printf("%-28s writer %8.2f ms  %8llu bytes (%2d cylinders, each read back)%s\n", name,
                writer, static_cast<unsigned long long>(bytes), count, ok ? "" : "  FAILED");
    std::printf("%-28s read   %8.2f ms  the read-back alone: %.0f%% of the job\n", "", readBack,
                writer > 0 ? 100.0 * readBack / writer : 0.0);
    const double driveReadBack =
        count * (kTracksPerCylinder + kAverageWaitRevolutions) * kRevolutionMilliseconds;
    std::printf("%-28s drive  %8.0f ms  the read-back on a 300 rpm drive (%.1f revolutions "
                "per cylinder)\n",
                "", driveReadBack, kTracksPerCylinder + kAverageWaitRevolutions);
    std::printf("%-28s dd     %8.2f ms  %8u bytes (whole image, oflag=direct)\n", "", ddTime,
                catalogue::kBootImageBytes);
    std::filesystem::remove(image);
    CloseContainer();
}

} // namespace

int main(int argc, char** argv) {
    const char* sample = argc > 1 ? argv[1] : std::getenv("BOOTMEDIA_SAMPLE");
    char folderTemplate[] = "/tmp/floppy-bench-XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (folder == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string disk = std::string(folder) + "/disk.img";
    // The drive the writer writes: an image-file drive, A: only.
    setenv("BOOTMEDIA_DRIVE_A", disk.c_str(), 1);
    setenv("BOOTMEDIA_DRIVE_B", "", 1);
    PlatformProfile.isNT = true;
    WriteBytes(disk, Bytes(catalogue::kBootImageBytes, kBlank));
    if (FloppyWriter().DetectFloppyDrives(true, 0) != 1) {
        std::printf("drive A: over %s is not a 1.44 MB drive\n", disk.c_str());
        return 1;
    }

    if (sample != nullptr && OpenContainer(sample)) {
        std::int32_t count = 0;
        const double scan = MedianMilliseconds(kScanRuns, [&] { count = FindLastUsedCylinder(); });
        std::printf("%-28s scan   %8.3f ms  -> %d cylinders\n", "extent scan, sample image", scan,
                    count);
        CloseContainer();
    } else {
        std::printf("no sample container (argument or BOOTMEDIA_SAMPLE)\n");
    }

    Bytes full(catalogue::kBootImageBytes, kFill);
    for (std::size_t at = 0; at < full.size(); ++at)
        full[at] = static_cast<std::uint8_t>(at % 251);
    const std::string fullContainer = std::string(folder) + "/full.dat";
    WriteBytes(fullContainer, ContainerOf(full));
    BenchWriter("writer, 80-cylinder image", fullContainer, folder);
    std::filesystem::remove(fullContainer);
    if (sample != nullptr)
        BenchWriter("writer, sample image", sample, folder);

    std::filesystem::remove_all(folder);
    return 0;
}
