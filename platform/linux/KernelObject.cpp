// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/KernelObject.h"

namespace platform::layer {
namespace {
bool unsupported() {
    win::SetLastError(win::ERROR_INVALID_FUNCTION);
    return false;
}
} // namespace

bool KernelObject::read(void*, win::DWORD, win::DWORD* bytesRead) {
    if (bytesRead)
        *bytesRead = 0;
    return unsupported();
}

bool KernelObject::write(const void*, win::DWORD, win::DWORD* bytesWritten) {
    if (bytesWritten)
        *bytesWritten = 0;
    return unsupported();
}

bool KernelObject::seek(std::int64_t, win::DWORD, std::uint64_t*) {
    return unsupported();
}

bool KernelObject::deviceIoControl(win::DWORD, const void*, win::DWORD, void*, win::DWORD,
                                   win::DWORD* bytesReturned) {
    if (bytesReturned)
        *bytesReturned = 0;
    return unsupported();
}

} // namespace platform::layer
