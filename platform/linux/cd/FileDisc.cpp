// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/FileDisc.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::layer {

FileDisc::~FileDisc() {
    if (kept_ || (simulate_ && existed_))
        return;
    // unlink, not remove: what stands at the path is a file or nothing, never a folder.
    ::unlink(path_.c_str());
}

bool FileDisc::prepare() {
    struct stat status = {};
    existed_ = ::lstat(path_.c_str(), &status) == 0;
    if (simulate_ || !existed_)
        return true;
    return ::unlink(path_.c_str()) == 0 || errno == ENOENT;
}

bool FileDisc::holds(off_t size) const {
    struct stat status = {};
    return ::stat(path_.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == size;
}

} // namespace platform::layer
