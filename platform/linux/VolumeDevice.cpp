// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/VolumeDevice.h"

#include "platform/Files.h"
#include "platform/linux/FilePointer.h"

#include <cstdint>
#include <cstring>

namespace platform::layer {
namespace {

bool Fail(win::DWORD error) {
    win::SetLastError(error);
    return false;
}

bool SectorAligned(std::uint64_t value) {
    return value % kFloppySectorBytes == 0;
}

} // namespace

std::shared_ptr<VolumeDevice> VolumeDevice::open(const DrivePath& path,
                                                 const OpenRequest& request) {
    const bool unbuffered = (request.flags & win::FILE_FLAG_NO_BUFFERING) != 0;
    auto backing = DriveBacking::open(path, unbuffered);
    if (!backing)
        return nullptr;
    return std::shared_ptr<VolumeDevice>(
        new VolumeDevice(std::move(backing), request.access, unbuffered));
}

VolumeDevice::VolumeDevice(std::unique_ptr<DriveBacking> backing, win::DWORD access,
                           bool unbuffered)
    : backing_(std::move(backing)), access_(access), unbuffered_(unbuffered) {
}

bool VolumeDevice::checkTransfer(win::DWORD access, const void* buffer, win::DWORD bytes) const {
    if ((access_ & access) == 0)
        return Fail(win::ERROR_ACCESS_DENIED);
    const bool alignedBuffer =
        !unbuffered_ || SectorAligned(reinterpret_cast<std::uintptr_t>(buffer));
    if (!SectorAligned(bytes) || !SectorAligned(position_) || !alignedBuffer)
        return Fail(win::ERROR_INVALID_PARAMETER);
    return true;
}

bool VolumeDevice::write(const void* buffer, win::DWORD toWrite, win::DWORD* bytesWritten) {
    std::lock_guard lock(mutex_);
    *bytesWritten = 0;
    if (!checkTransfer(win::GENERIC_WRITE, buffer, toWrite))
        return false;
    std::uint32_t written = 0;
    const bool done = backing_->write(position_, buffer, toWrite, &written);
    position_ += written;
    *bytesWritten = written;
    return done;
}

bool VolumeDevice::read(void* buffer, win::DWORD toRead, win::DWORD* bytesRead) {
    std::lock_guard lock(mutex_);
    *bytesRead = 0;
    if (!checkTransfer(win::GENERIC_READ, buffer, toRead))
        return false;
    std::uint32_t got = 0;
    const bool done = backing_->read(position_, buffer, toRead, &got);
    position_ += got;
    *bytesRead = got;
    return done;
}

bool VolumeDevice::seek(std::int64_t distance, win::DWORD method, std::uint64_t* newPosition) {
    std::lock_guard lock(mutex_);
    const auto target = MovedPosition(position_, backing_->diskBytes(), distance, method);
    if (!target)
        return false;
    position_ = *target;
    if (newPosition)
        *newPosition = position_;
    return true;
}

bool VolumeDevice::deviceIoControl(win::DWORD code, const void*, win::DWORD, void* out,
                                   win::DWORD outSize, win::DWORD* bytesReturned) {
    std::lock_guard lock(mutex_);
    *bytesReturned = 0;
    switch (code) {
    case win::IOCTL_DISK_GET_MEDIA_TYPES:
        return mediaTypes(out, outSize, bytesReturned);
    case win::FSCTL_LOCK_VOLUME:
        return backing_->lock();
    case win::FSCTL_DISMOUNT_VOLUME:
        return backing_->flush();
    case win::FSCTL_UNLOCK_VOLUME:
        return backing_->unlock();
    default:
        return Fail(win::ERROR_INVALID_FUNCTION);
    }
}

bool VolumeDevice::mediaTypes(void* out, win::DWORD outSize, win::DWORD* bytesReturned) const {
    const auto records = backing_->mediaTypes();
    const std::size_t bytes = records.size_bytes();
    if (out == nullptr || outSize < bytes)
        return Fail(win::ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(out, records.data(), bytes);
    *bytesReturned = static_cast<win::DWORD>(bytes);
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
}

} // namespace platform::layer
