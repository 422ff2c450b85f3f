// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/VolumeControl.h"

#include "platform/Devices.h"

using namespace win;

namespace {

bool VolumeRequest(HANDLE volume, DWORD code) {
    DWORD returned = 0;
    return DeviceIoControl(volume, code, nullptr, 0, nullptr, 0, &returned, nullptr) != FALSE;
}

} // namespace

bool LockVolume(HANDLE volume) {
    return VolumeRequest(volume, FSCTL_LOCK_VOLUME);
}

bool DismountVolume(HANDLE volume) {
    return VolumeRequest(volume, FSCTL_DISMOUNT_VOLUME);
}

bool UnlockVolume(HANDLE volume) {
    return VolumeRequest(volume, FSCTL_UNLOCK_VOLUME);
}
