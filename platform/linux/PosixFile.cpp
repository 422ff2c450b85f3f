// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/PosixFile.h"

#include "platform/Files.h"
#include "platform/linux/Errno.h"
#include "platform/linux/FilePointer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::layer {
namespace {

constexpr std::size_t kReadBufferBytes = 64 * 1024;
constexpr mode_t kNewFileMode = 0666;

int OpenFlags(const OpenRequest& request) {
    const bool reads = (request.access & win::GENERIC_READ) != 0;
    const bool writes = (request.access & win::GENERIC_WRITE) != 0;
    int flags = O_CLOEXEC;
    flags |= writes ? (reads ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (request.disposition) {
    case win::CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case win::CREATE_ALWAYS:
    case win::OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    default:
        break;
    }
    return flags;
}

int LockKind(const OpenRequest& request) {
    const bool writes = (request.access & win::GENERIC_WRITE) != 0;
    const bool deniesRead = (request.shareMode & win::FILE_SHARE_READ) == 0;
    const bool deniesWrite = (request.shareMode & win::FILE_SHARE_WRITE) == 0;
    if (writes || deniesRead)
        return LOCK_EX;
    return deniesWrite ? LOCK_SH : 0;
}

bool ValidDisposition(win::DWORD disposition) {
    return disposition >= win::CREATE_NEW && disposition <= win::OPEN_ALWAYS;
}

} // namespace

std::shared_ptr<PosixFile> PosixFile::open(const OpenRequest& request) {
    if (!ValidDisposition(request.disposition) ||
        (request.access & (win::GENERIC_READ | win::GENERIC_WRITE)) == 0) {
        win::SetLastError(win::ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int fd = ::open(request.path.c_str(), OpenFlags(request), kNewFileMode);
    if (fd < 0) {
        FailFromErrno();
        return nullptr;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(fd);
        win::SetLastError(win::ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const int lock = LockKind(request);
    if (lock != 0 && flock(fd, lock | LOCK_NB) != 0) {
        ::close(fd);
        win::SetLastError(win::ERROR_SHARING_VIOLATION);
        return nullptr;
    }
    // Truncate only once the lock is ours: a file open elsewhere is never replaced.
    if (request.disposition == win::CREATE_ALWAYS && ftruncate(fd, 0) != 0) {
        FailFromErrno();
        ::close(fd);
        return nullptr;
    }
    const bool buffered = (request.access & win::GENERIC_WRITE) == 0 && lock == LOCK_SH;
    win::SetLastError(win::ERROR_SUCCESS);
    return std::shared_ptr<PosixFile>(new PosixFile(fd, buffered));
}

PosixFile::PosixFile(int fd, bool buffered) : fd_(fd) {
    if (buffered)
        buffer_.resize(kReadBufferBytes);
}

PosixFile::~PosixFile() {
    ::close(fd_);
}

bool PosixFile::refill() {
    bufferStart_ = position_;
    bufferFill_ = 0;
    for (;;) {
        const ssize_t got =
            pread(fd_, buffer_.data(), buffer_.size(), static_cast<off_t>(bufferStart_));
        if (got >= 0) {
            bufferFill_ = static_cast<std::size_t>(got);
            return true;
        }
        if (errno != EINTR)
            return FailFromErrno();
    }
}

bool PosixFile::read(void* buffer, win::DWORD toRead, win::DWORD* bytesRead) {
    std::lock_guard lock(mutex_);
    if (bytesRead)
        *bytesRead = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    win::DWORD done = 0;
    while (done < toRead) {
        const bool inBuffer =
            !buffer_.empty() && position_ >= bufferStart_ && position_ < bufferStart_ + bufferFill_;
        if (inBuffer) {
            const std::size_t offset = static_cast<std::size_t>(position_ - bufferStart_);
            const std::size_t take = std::min<std::size_t>(bufferFill_ - offset, toRead - done);
            std::memcpy(out + done, buffer_.data() + offset, take);
            done += static_cast<win::DWORD>(take);
            position_ += take;
            continue;
        }
        if (!buffer_.empty() && toRead - done < buffer_.size()) {
            if (!refill())
                return false;
            if (bufferFill_ == 0)
                break; // end of file
            continue;
        }
        const ssize_t got = pread(fd_, out + done, toRead - done, static_cast<off_t>(position_));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FailFromErrno();
        }
        if (got == 0)
            break;
        done += static_cast<win::DWORD>(got);
        position_ += static_cast<std::uint64_t>(got);
    }
    if (bytesRead)
        *bytesRead = done;
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
}

bool PosixFile::write(const void* buffer, win::DWORD toWrite, win::DWORD* bytesWritten) {
    std::lock_guard lock(mutex_);
    if (bytesWritten)
        *bytesWritten = 0;
    const auto* in = static_cast<const unsigned char*>(buffer);
    win::DWORD done = 0;
    while (done < toWrite) {
        const ssize_t put = pwrite(fd_, in + done, toWrite - done, static_cast<off_t>(position_));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return FailFromErrno();
        }
        done += static_cast<win::DWORD>(put);
        position_ += static_cast<std::uint64_t>(put);
        if (bytesWritten)
            *bytesWritten = done;
    }
    win::SetLastError(win::ERROR_SUCCESS);
    return true;
}

bool PosixFile::seek(std::int64_t distance, win::DWORD method, std::uint64_t* newPosition) {
    std::lock_guard lock(mutex_);
    std::uint64_t end = 0;
    if (method == win::FILE_END) {
        struct stat status {};
        if (fstat(fd_, &status) != 0)
            return FailFromErrno();
        end = static_cast<std::uint64_t>(status.st_size);
    }
    const auto target = MovedPosition(position_, end, distance, method);
    if (!target)
        return false;
    position_ = *target;
    if (newPosition)
        *newPosition = position_;
    return true;
}

} // namespace platform::layer
