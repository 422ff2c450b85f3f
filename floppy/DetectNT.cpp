// SPDX-License-Identifier: GPL-2.0-or-later
// NT-family discovery: the volume devices of A: and B: and their media-type lists.
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyWriter.h"
#include "floppy/FoundDrives.h"
#include "platform/Devices.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace win;

namespace {

constexpr std::int32_t kFirstDrive = 1; // A:
constexpr std::int32_t kLastDrive = 2;  // B:
constexpr char kVolumePathFormat[] = "\\\\.\\%c:";
constexpr std::size_t kVolumePathSize = sizeof "\\\\.\\A:";
constexpr int kDriveLetterBase = 'A' - 1; // drive 1 is A:

constexpr DWORD kVolumeAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kVolumeSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
// Written without system buffering, front to back: 0x28000004.
constexpr DWORD kVolumeFlags =
    FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_SYSTEM;

// Opens the drive's volume into FloppyDevice.ntVolumeHandle (INVALID_HANDLE_VALUE when the open
// fails), closing the handle held before.
HANDLE OpenVolume(std::int32_t drive) {
    char path[kVolumePathSize];
    std::snprintf(path, sizeof path, kVolumePathFormat, kDriveLetterBase + drive);
    CloseFloppyVolume();
    const HANDLE volume = CreateFileA(path, kVolumeAccess, kVolumeSharing, nullptr, OPEN_EXISTING,
                                      kVolumeFlags, nullptr);
    FloppyDevice.ntVolumeHandle = volume;
    return volume;
}

// Reads the volume's media-type list into FloppyDevice.mediaTypes and finds its 1.44 MB record
// among the records the request returned; records beyond them are an earlier drive's.
std::optional<std::int32_t> FindHighDensityRecord(HANDLE volume) {
    auto& records = FloppyDevice.mediaTypes;
    DWORD returned = 0;
    if (!DeviceIoControl(volume, IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, records.data(),
                         sizeof records, &returned, nullptr))
        return std::nullopt;
    const auto reported = std::min<std::size_t>(returned / sizeof(DISK_GEOMETRY), records.size());
    const auto end = records.begin() + static_cast<std::ptrdiff_t>(reported);
    const auto found = std::find_if(records.begin(), end, [](const DISK_GEOMETRY& record) {
        return record.MediaType == F3_1Pt44_512;
    });
    if (found == end)
        return std::nullopt;
    return static_cast<std::int32_t>(found - records.begin());
}

std::int32_t DetectNT() {
    ForgetFoundDrives();
    for (std::int32_t drive = kFirstDrive; drive <= kLastDrive; ++drive) {
        const HANDLE volume = OpenVolume(drive);
        if (!IsOpenHandle(volume))
            continue;
        const auto record = FindHighDensityRecord(volume);
        CloseFloppyVolume();
        if (record) {
            FloppyDevice.mediaTypeIndex = *record;
            RecordFoundDrive(drive);
        }
    }
    return FloppyDevice.foundCount;
}

// Opens exactly the drive the list entry names and keeps its handle for the writer, also when
// the drive no longer shows a 1.44 MB record; the writer then refuses it.
std::int32_t SelectNT(std::int32_t index) {
    FloppyDevice.selectedDrive = 0;
    const std::int32_t drive = FoundFloppyDrive(index);
    if (drive == 0) {
        CloseFloppyVolume();
        return 0;
    }
    const HANDLE volume = OpenVolume(drive);
    if (!IsOpenHandle(volume))
        return 0;
    const auto record = FindHighDensityRecord(volume);
    if (!record)
        return 0;
    FloppyDevice.mediaTypeIndex = *record;
    FloppyDevice.selectedDrive = drive;
    return 1;
}

} // namespace

std::int32_t FloppyWriter::DetectFloppyDrivesNT(bool detect, std::int32_t index) {
    return detect ? DetectNT() : SelectNT(index);
}
