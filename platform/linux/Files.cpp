// SPDX-License-Identifier: GPL-2.0-or-later
// The Win32 file calls over the handle table: each finds the handle's object and lets it act.
#include "platform/Files.h"

#include "platform/linux/DeviceRegistry.h"
#include "platform/linux/HandleTable.h"
#include "platform/linux/PosixFile.h"

#include <limits>

namespace win {

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, SECURITY_ATTRIBUTES*,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
    if (fileName == nullptr || *fileName == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const platform::layer::OpenRequest request{fileName, desiredAccess, shareMode,
                                               creationDisposition, flagsAndAttributes};
    std::shared_ptr<platform::layer::KernelObject> object;
    if (platform::layer::IsDevicePath(request.path))
        object = platform::layer::OpenDevice(request);
    else
        object = platform::layer::PosixFile::open(request);
    if (!object)
        return INVALID_HANDLE_VALUE;
    return platform::layer::InsertHandle(std::move(object));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, DWORD* bytesRead, OVERLAPPED*) {
    if (bytesRead)
        *bytesRead = 0;
    auto object = platform::layer::LookupHandle(file);
    return object && object->read(buffer, toRead, bytesRead) ? TRUE : FALSE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* bytesWritten, OVERLAPPED*) {
    if (bytesWritten)
        *bytesWritten = 0;
    auto object = platform::layer::LookupHandle(file);
    return object && object->write(buffer, toWrite, bytesWritten) ? TRUE : FALSE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    auto object = platform::layer::LookupHandle(file);
    if (!object)
        return INVALID_SET_FILE_POINTER;
    // Without a high part the distance is a signed 32-bit value, as on Windows.
    std::int64_t move = distance;
    if (distanceHigh)
        move = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
            static_cast<std::uint32_t>(distance));
    std::uint64_t position = 0;
    if (!object->seek(move, moveMethod, &position))
        return INVALID_SET_FILE_POINTER;
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(position >> 32);
    return static_cast<DWORD>(position & std::numeric_limits<DWORD>::max());
}

BOOL CloseHandle(HANDLE object) {
    return platform::layer::RemoveHandle(object) ? TRUE : FALSE;
}

} // namespace win
