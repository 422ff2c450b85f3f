// SPDX-License-Identifier: GPL-2.0-or-later
// DeviceIoControl over the handle table: the handle's object answers the request.
#include "platform/Devices.h"
#include "platform/linux/HandleTable.h"

namespace win {

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                     DWORD* bytesReturned, OVERLAPPED* overlapped) {
    if (bytesReturned)
        *bytesReturned = 0;
    if (overlapped) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD returned = 0;
    auto object = platform::layer::LookupHandle(device);
    const bool done = object && object->deviceIoControl(code, in, inSize, out, outSize, &returned);
    if (bytesReturned)
        *bytesReturned = returned;
    return done ? TRUE : FALSE;
}

} // namespace win
