// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A regular file behind a handle. Sharing is enforced with flock on the open file description, so
// it holds between opens in this process and in others that lock the same way: an open that
// writes or denies reading to others is exclusive, one that only reads and denies writing is
// shared. The position is the handle's own (reads and writes are positioned), and a handle
// without write access serves small reads from a buffer: the file cannot change under it while
// its sharing denies writers.

#include "platform/linux/KernelObject.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::layer {

struct OpenRequest {
    std::string path;
    win::DWORD access = 0;
    win::DWORD shareMode = 0;
    win::DWORD disposition = 0;
    win::DWORD flags = 0;
};

class PosixFile final : public KernelObject {
public:
    /// Opens as the request says; null with the last error set on failure.
    static std::shared_ptr<PosixFile> open(const OpenRequest& request);
    ~PosixFile() override;

    bool read(void* buffer, win::DWORD toRead, win::DWORD* bytesRead) override;
    bool write(const void* buffer, win::DWORD toWrite, win::DWORD* bytesWritten) override;
    bool seek(std::int64_t distance, win::DWORD method, std::uint64_t* newPosition) override;

private:
    PosixFile(int fd, bool buffered);
    bool refill();

    std::mutex mutex_;
    int fd_;
    std::uint64_t position_ = 0;
    // Read buffer: bytes of the file from bufferStart_ on; empty for handles that write.
    std::vector<unsigned char> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferFill_ = 0;
};

} // namespace platform::layer
