// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The floppy device state of the process: the handles and geometry through which the writer
// reaches the drive that discovery prepared, and the drives discovery found, which are the
// entries of the dialog's floppy list.

#include "platform/Devices.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kMediaTypeRecords = 10;
/// NT looks at A: and B:; Windows 9x stops at its first find.
inline constexpr std::size_t kMaxFloppyDrives = 2;

struct FloppyDeviceRecord {
    /// NT: the volume handle that select mode opened for the next job, INVALID_HANDLE_VALUE (or
    /// null before the first discovery) when there is none. Never a handle already closed.
    std::atomic<win::HANDLE> ntVolumeHandle{nullptr};
    /// Windows 9x: the VWIN32 device, opened by detect mode, open until Exit.
    std::atomic<win::HANDLE> vwin32Handle{nullptr};
    /// NT: the media-type list of the drive last queried, as the request wrote it.
    std::array<win::DISK_GEOMETRY, kMediaTypeRecords> mediaTypes{};
    /// NT: index in mediaTypes of the 1.44 MB record of the drive last found.
    std::int32_t mediaTypeIndex = 0;
    /// Windows 9x: the device parameters select mode read for the next job.
    std::uint16_t cylinders = 0;
    std::uint16_t bytesPerSector = 0;
    std::uint16_t totalSectors = 0;
    /// The drive select mode prepared for the next job, 1-based (1 = A:): the 1.44 MB drive of
    /// the chosen list entry. 0 when it prepared none; the writer then writes nothing.
    std::int32_t selectedDrive = 0;
    /// The 1.44 MB drives detect mode found, 1-based, in the order of the floppy list.
    std::array<std::int32_t, kMaxFloppyDrives> foundDrives{};
    std::int32_t foundCount = 0;
};

/// Written by discovery on the dialog thread before a job's threads start; the job's threads
/// only read it, apart from the handles.
extern FloppyDeviceRecord FloppyDevice;

/// The drive that entry listIndex of the floppy list names: 1-based (1 = A:, its letter is the
/// number + 64), the listIndex-th 1.44 MB drive detect mode found. 0 for an index outside the
/// list (the empty list's -1 included).
std::int32_t FoundFloppyDrive(std::int32_t listIndex);

/// Closes the volume handle that select mode left and forgets it; does nothing when there is
/// none, so calling it twice is harmless. The floppy monitor calls it when a job has ended.
void CloseFloppyVolume();

/// True for a handle that is open: neither null nor INVALID_HANDLE_VALUE.
bool IsOpenHandle(win::HANDLE handle);
