// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the NT-family and Windows 9x floppy writers share: the start and end of a job in
// JobState, the end of the process without memory, and the copy of the boot image's front
// cylinders onto the disk, each read back and compared. The two differ only in how a cylinder
// reaches the disk and comes back from it.

#include "floppy/PageBuffer.h"
#include "resfile/ResourceFile.h"

#include <cstdint>
#include <functional>

/// How a job reaches the disk, one cylinder (catalogue::kCylinderBytes bytes) at a time.
struct CylinderAccess {
    /// Puts cylinder index from data on the disk; true when all of its bytes went out.
    std::function<bool(std::int32_t index, const void* data)> write;
    /// Reads cylinder index, just written, back from the disk itself into data; true when all
    /// of its bytes came.
    std::function<bool(std::int32_t index, void* data)> readBack;
};

/// The job's cylinder buffers from the page allocator: the image's bytes and what the disk
/// gave back. Empty when the allocator refuses.
class CylinderBuffers {
public:
    CylinderBuffers();
    explicit operator bool() const { return static_cast<bool>(buffer_); }
    void* image() const { return buffer_.get(); }
    void* readBack() const;

private:
    PageBuffer buffer_;
};

/// First steps of a job: busy set, cancelRequested cleared, cylinderCount from the extent scan;
/// then the job is taken, and floppyJobStarting falls for the monitor that waits on it.
void BeginFloppyJob();

/// Last steps of a job that does not end the process: busy falls, then progress returns to 0.
/// failed and cancelRequested must be in place before, as the monitor reads them at once.
void EndFloppyJob();

/// Shows text under caption and ends the process with exit code 0.
[[noreturn]] void ExitWithoutMemory(ResourceId text, const ResourceText& caption);

/// Reads texts 1020 and 1026 and clears failed; then, for a drive the job can write, reads
/// cylinders 0 to cylinderCount - 1 of the boot image one by one, writes each, reads it back
/// and compares it byte for byte, publishing its index as progress only once it reads back
/// right, and stops after a cylinder when cancelRequested is set. A container read that fails
/// or comes short shows 1020; a failed write, a failed read-back or one that differs (or a
/// drive the job cannot write) shows 1026, under caption, and sets failed: no cylinder is ever
/// written with bytes that were not read for it, and none is reported good that the disk does
/// not give back.
void CopyCylinders(const CylinderBuffers& buffers, const ResourceText& caption, bool driveUsable,
                   const CylinderAccess& disk);
