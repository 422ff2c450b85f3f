// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/ProcessState.h"

#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "floppy/FloppyDevice.h"
#include "platform/Files.h"
#include "platform/VersionOverride.h"

namespace test {

void ResetProcessState() {
    for (auto* handle : {&FloppyDevice.ntVolumeHandle, &FloppyDevice.vwin32Handle}) {
        const win::HANDLE held = handle->exchange(nullptr);
        if (IsOpenHandle(held))
            win::CloseHandle(held);
    }
    FloppyDevice.mediaTypes = {};
    FloppyDevice.mediaTypeIndex = 0;
    FloppyDevice.cylinders = 0;
    FloppyDevice.bytesPerSector = 0;
    FloppyDevice.totalSectors = 0;
    FloppyDevice.selectedDrive = 0;
    FloppyDevice.foundDrives = {};
    FloppyDevice.foundCount = 0;

    JobState.resourceFile = nullptr;
    JobState.bootImageOffset = 0;
    JobState.imageValid = true;
    JobState.busy = false;
    JobState.floppyJobStarting = false;
    JobState.floppyJobRefused = false;
    JobState.floppyMonitorRunning = false;
    JobState.cdMonitorRunning = false;
    JobState.cancelRequested = false;
    JobState.failed = false;
    JobState.closeRequested = false;
    JobState.progress = 0;
    JobState.cylinderCount = 0;
    JobState.cdPhase = 0;
    JobState.selectedRecorder = 0;
    JobState.floppyDriveNumber = 0;
    JobState.floppyCount = 0;
    JobState.recorderCount = 0;

    PlatformProfile = {true, false, true};
    platform::SetVersionOverride(std::nullopt);
}

} // namespace test
