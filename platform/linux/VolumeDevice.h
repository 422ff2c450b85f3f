// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The NT volume device of a floppy drive (\\.\A:, \\.\B:) over the drive's backing: the media
// types the drive takes, lock (an exclusive claim, refused while the backing is in use
// elsewhere), dismount (a flush of what is cached), unlock, and whole-sector writes at the
// handle's position.

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
    /// IOCTL_DISK_GET_MEDIA_TYPES (ERROR_INSUFFICIENT_BUFFER when the list does not fit),
    /// FSCTL_LOCK_VOLUME, FSCTL_DISMOUNT_VOLUME, FSCTL_UNLOCK_VOLUME; others
    /// ERROR_INVALID_FUNCTION.
    bool deviceIoControl(win::DWORD code, const void* in, win::DWORD inSize, void* out,
                         win::DWORD outSize, win::DWORD* bytesReturned) override;

private:
    VolumeDevice(std::unique_ptr<DriveBacking> backing, bool writes, bool unbuffered);
    bool mediaTypes(void* out, win::DWORD outSize, win::DWORD* bytesReturned) const;

    std::mutex mutex_;
    std::unique_ptr<DriveBacking> backing_;
    bool writes_;
    bool unbuffered_;
    std::uint64_t position_ = 0;
};

} // namespace platform::layer
