// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the Windows 9x DDK's vwin32.h declares and mingw-w64 lacks: the register block of the
// VWIN32 device's DeviceIoControl interface and its control codes.

#include "platform/windows/WindowsApi.h"

struct DIOC_REGISTERS {
    DWORD reg_EBX;
    DWORD reg_EDX;
    DWORD reg_ECX;
    DWORD reg_EAX;
    DWORD reg_EDI;
    DWORD reg_ESI;
    DWORD reg_Flags;
};
static_assert(sizeof(DIOC_REGISTERS) == 28);

inline constexpr DWORD VWIN32_DIOC_DOS_IOCTL = 1;
inline constexpr DWORD VWIN32_DIOC_DOS_INT25 = 2;
inline constexpr DWORD VWIN32_DIOC_DOS_INT26 = 3;
inline constexpr DWORD VWIN32_DIOC_DOS_INT13 = 4;
inline constexpr DWORD VWIN32_DIOC_DOS_DRIVEINFO = 6;
