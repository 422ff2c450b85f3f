// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One DOS service through the Windows 9x VWIN32 device.

#include "platform/Devices.h"

/// Carry, bit 0 of reg_Flags: the DOS service failed.
inline constexpr win::DWORD kCarryFlag = 0x1;

/// Runs the service that controlCode and the registers name on the VWIN32 handle; the registers
/// are input and output. True when the request was carried out and the service returned with
/// carry clear.
bool CallVwin32(win::HANDLE vwin32, win::DWORD controlCode, win::DIOC_REGISTERS& registers);
