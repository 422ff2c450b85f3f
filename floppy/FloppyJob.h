// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the NT-family and Windows 9x floppy writers share: the start and end of a job in
// JobState, the end of the process without memory, and the copy of the boot image's front
// cylinders onto the disk. The two differ only in how a cylinder reaches the disk.

#include "resfile/ResourceFile.h"

#include <cstdint>
#include <functional>

/// Puts cylinder index (catalogue::kCylinderBytes bytes at data) on the disk; true when all of
/// its bytes went out.
using CylinderWriter = std::function<bool(std::int32_t index, const void* data)>;

/// First steps of a job: busy set, cancelRequested cleared, cylinderCount from the extent scan;
/// then the job is taken, and floppyJobStarting falls for the monitor that waits on it.
void BeginFloppyJob();

/// Last steps of a job that does not end the process: busy falls, then progress returns to 0.
/// failed and cancelRequested must be in place before, as the monitor reads them at once.
void EndFloppyJob();

/// Shows text under caption and ends the process with exit code 0.
[[noreturn]] void ExitWithoutMemory(ResourceId text, const ResourceText& caption);

/// Reads texts 1020 and 1026 and clears failed; then, for a drive the job can write, reads
/// cylinders 0 to cylinderCount - 1 of the boot image one by one into buffer (one cylinder) and
/// hands each to write, publishing its index as progress, and stops after a cylinder when
/// cancelRequested is set. A container read that fails or comes short shows 1020, a failed
/// write (or a drive the job cannot write) shows 1026, under caption, and sets failed: no
/// cylinder is ever written with bytes that were not read for it.
void CopyCylinders(void* buffer, const ResourceText& caption, bool driveUsable,
                   const CylinderWriter& write);
