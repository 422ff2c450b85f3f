// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/Errno.h"

#include <cerrno>

namespace platform::layer {

win::DWORD Win32ErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return win::ERROR_SUCCESS;
    case ENOENT:
        return win::ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return win::ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return win::ERROR_ACCESS_DENIED;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
        return win::ERROR_SHARING_VIOLATION;
    case ENOMEM:
        return win::ERROR_NOT_ENOUGH_MEMORY;
    case EEXIST:
        return win::ERROR_ALREADY_EXISTS;
    case ENOMEDIUM:
    case ENXIO:
    case ENODEV:
        return win::ERROR_NOT_READY;
    case EIO:
    case ENOSPC:
        return win::ERROR_WRITE_FAULT;
    case EBADF:
        return win::ERROR_INVALID_HANDLE;
    default:
        return win::ERROR_INVALID_PARAMETER;
    }
}

bool FailFromErrno() {
    win::SetLastError(Win32ErrorFromErrno(errno));
    return false;
}

} // namespace platform::layer
