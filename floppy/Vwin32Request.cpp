// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/Vwin32Request.h"

using namespace win;

bool CallVwin32(HANDLE vwin32, DWORD controlCode, DIOC_REGISTERS& registers) {
    DWORD returned = 0;
    return DeviceIoControl(vwin32, controlCode, &registers, sizeof registers, &registers,
                           sizeof registers, &returned, nullptr) != FALSE &&
           (registers.reg_Flags & kCarryFlag) == 0;
}
