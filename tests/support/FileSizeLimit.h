// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A full disk, made to order: the size of the files the process may write is capped, and the
// signal that crossing the cap raises is ignored, so a write past it comes short or fails with
// EFBIG, as one on a full file system fails with ENOSPC.

#include <sys/resource.h>

namespace test {

class FileSizeLimit {
public:
    /// Caps file sizes at bytes for the lifetime of the object.
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    using SignalHandler = void (*)(int);
    SignalHandler previous_ = nullptr;
};

} // namespace test
