// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Files and devices opened by path: the Win32 calls with their Win32 outcomes. On Linux a path
// of the form \\.\NAME opens a device of the layer (see DeviceRegistry.h); any other path is a
// POSIX file.

#include "platform/Types.h"

#if defined(_WIN32)
namespace win {
using ::CloseHandle;
using ::CreateFileA;
using ::ReadFile;
using ::SetFilePointer;
using ::WriteFile;
} // namespace win
#else
namespace win {
inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x4;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000u;
inline constexpr DWORD FILE_FLAG_NO_BUFFERING = 0x20000000u;
inline constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;

struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;

/// Opens a file or a layer device. Sharing is enforced between every open of one file, in this
/// process and others: an open that would conflict fails with ERROR_SHARING_VIOLATION, and
/// CREATE_ALWAYS never truncates a file that is open elsewhere. Returns INVALID_HANDLE_VALUE on
/// failure (GetLastError tells why); the caller owns the handle and closes it with CloseHandle.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   SECURITY_ATTRIBUTES* securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);

/// Reads up to toRead bytes at the handle's position; *bytesRead tells how many arrived (0 at
/// the end of the file). Sequential small reads on a handle opened without write access are
/// served from a buffer. overlapped must be null.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, DWORD* bytesRead, OVERLAPPED* overlapped);

/// Writes at the handle's position; *bytesWritten tells how many bytes went out.
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* bytesWritten,
               OVERLAPPED* overlapped);

/// Moves the handle's position. With a null high part the distance is a signed 32-bit value, so
/// FILE_BEGIN with 2,147,483,648 or more is a negative seek: INVALID_SET_FILE_POINTER and
/// ERROR_NEGATIVE_SEEK. Returns the low 32 bits of the new position.
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);

/// Releases the handle; FALSE with ERROR_INVALID_HANDLE for a handle that is not open (null,
/// INVALID_HANDLE_VALUE, or closed before).
BOOL CloseHandle(HANDLE object);
} // namespace win
#endif
