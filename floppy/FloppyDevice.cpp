// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/FloppyDevice.h"

#include "platform/Files.h"

using namespace win;

FloppyDeviceRecord FloppyDevice;

std::int32_t FoundFloppyDrive(std::int32_t listIndex) {
    if (listIndex < 0 || listIndex >= FloppyDevice.foundCount)
        return 0;
    return FloppyDevice.foundDrives[static_cast<std::size_t>(listIndex)];
}

void CloseFloppyVolume() {
    const HANDLE volume = FloppyDevice.ntVolumeHandle.exchange(INVALID_HANDLE_VALUE);
    if (IsOpenHandle(volume))
        CloseHandle(volume);
}

bool IsOpenHandle(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}
