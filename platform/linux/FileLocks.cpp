// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/FileLocks.h"

#include <fcntl.h>
#include <sys/file.h>

namespace platform::layer {
namespace {

// The whole file: from byte 0 to any end it may reach.
struct flock WholeFile(short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 0;
    return range;
}

// Who holds a lock that conflicts with a write lock over the whole file.
std::string LockHolder(int fd) {
    struct flock probe = WholeFile(F_WRLCK);
    if (fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return "a POSIX lock of process " + std::to_string(probe.l_pid);
    probe = WholeFile(F_WRLCK);
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return "an open-file-description lock of another program";
    return "a lock of another program";
}

} // namespace

bool LockFile(int fd, std::string* holder) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *holder = "a whole-file lock (flock) of another handle or program";
        return false;
    }
    const int mode = fcntl(fd, F_GETFL);
    const bool writes = mode >= 0 && (mode & O_ACCMODE) != O_RDONLY;
    struct flock range = WholeFile(writes ? F_WRLCK : F_RDLCK);
    if (fcntl(fd, F_OFD_SETLK, &range) != 0) {
        *holder = LockHolder(fd);
        flock(fd, LOCK_UN);
        return false;
    }
    return true;
}

void UnlockFile(int fd) {
    struct flock range = WholeFile(F_UNLCK);
    fcntl(fd, F_OFD_SETLK, &range);
    flock(fd, LOCK_UN);
}

} // namespace platform::layer
