// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The NT volume device of a floppy drive (\\.\A:, \\.\B:) over the drive's backing: the media
// types the drive takes, lock (an exclusive claim, refused while the backing is in use
// elsewhere), dismount (a flush of what is cached), unlock, and whole-sector writes and reads at
// the handle's position, the reads from the disk itself.

#include "platform/linux/DriveBacking.h"
#include "platform/linux/KernelObject.h"
#include "platform/linux/PosixFile.h"

#include <memory>
#include <mutex>

namespace platform::layer {

class VolumeDevice final : public KernelObject {
public:
    /// Opens the volume for one CreateFileA. FILE_FLAG_NO_BUFFERING asks for writes that bypass
    /// the cache and, as on Windows, takes only sector-aligned buffers. Null with the last error
    /// when the drive does not exist or its backing cannot be opened.
    static std::shared_ptr<VolumeDevice> open(const DrivePath& path, const OpenRequest& request);

    /// Whole sectors at the handle's position (ERROR_INVALID_PARAMETER otherwise); a handle
    /// without write access gets ERROR_ACCESS_DENIED; other failures as DriveBacking::write.
    bool write(const void* buffer, win::DWORD toWrite, win::DWORD* bytesWritten) override;
    /// Whole sectors from the disk at the handle's position, with the rules and failures of
    /// write (a handle without read access gets ERROR_ACCESS_DENIED).
    bool read(void* buffer, win::DWORD toRead, win::DWORD* bytesRead) override;
    /// FILE_BEGIN, FILE_CURRENT or FILE_END (the end of a 1.44 MB disk, or of the backing that
    /// is not one); ERROR_NEGATIVE_SEEK before the start.
    bool seek(std::int64_t distance, win::DWORD method, std::uint64_t* newPosition) override;
    /// IOCTL_DISK_GET_MEDIA_TYPES (ERROR_INSUFFICIENT_BUFFER when the list does not fit),
    /// FSCTL_LOCK_VOLUME, FSCTL_DISMOUNT_VOLUME, FSCTL_UNLOCK_VOLUME; others
    /// ERROR_INVALID_FUNCTION.
    bool deviceIoControl(win::DWORD code, const void* in, win::DWORD inSize, void* out,
                         win::DWORD outSize, win::DWORD* bytesReturned) override;

private:
    VolumeDevice(std::unique_ptr<DriveBacking> backing, win::DWORD access, bool unbuffered);
    bool mediaTypes(void* out, win::DWORD outSize, win::DWORD* bytesReturned) const;
    /// The checks shared by reads and writes: access, whole sectors, aligned buffers.
    bool checkTransfer(win::DWORD access, const void* buffer, win::DWORD bytes) const;

    std::mutex mutex_;
    std::unique_ptr<DriveBacking> backing_;
    win::DWORD access_;
    bool unbuffered_;
    std::uint64_t position_ = 0;
};

} // namespace platform::layer
