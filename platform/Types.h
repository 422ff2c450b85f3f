// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The basic Win32 types the system passes across the platform seam. On Windows they are the
// real ones; on Linux they have the same widths (LONG and DWORD stay 32 bits on LP64).

#if defined(_WIN32)
#include "platform/windows/WindowsApi.h"

namespace win {
using ::BOOL;
using ::BYTE;
using ::DWORD;
using ::HANDLE;
using ::HRESULT;
using ::LONG;
using ::LPCSTR;
using ::LPSTR;
using ::LPVOID;
using ::PLONG;
using ::UINT;
using ::ULARGE_INTEGER;
using ::ULONG;
using ::WORD;
} // namespace win
#else
#include <cstdint>

namespace win {
using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using HRESULT = std::int32_t;
using PLONG = LONG*;
using LPVOID = void*;
using LPCSTR = const char*;
using LPSTR = char*;
/// Only the 64-bit view: nothing here splits the value.
struct ULARGE_INTEGER {
    std::uint64_t QuadPart;
};
/// A handle names an object of the Linux layer (file, volume device, VWIN32 device) in its
/// handle table; it is never dereferenced.
using HANDLE = void*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NOT_READY = 21;
inline constexpr DWORD ERROR_SEEK = 25;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_READ_FAULT = 30;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_LOCK_VIOLATION = 33;
inline constexpr DWORD ERROR_HANDLE_EOF = 38;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;

/// The calling thread's last error, as the failing call left it.
DWORD GetLastError();
void SetLastError(DWORD error);
} // namespace win
#endif
