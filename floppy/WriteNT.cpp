// SPDX-License-Identifier: GPL-2.0-or-later
// The NT-family floppy job: the volume is locked, written cylinder by cylinder at its handle's
// position, each cylinder read back through the same handle, then dismounted and unlocked.
#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "app/MessageBoxes.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyJob.h"
#include "floppy/FloppyWriter.h"
#include "floppy/VolumeControl.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"

using namespace win;

namespace {

// The NT writer's no-memory box shares its text with the CD question.
constexpr ResourceId kNoMemoryNtError = catalogue::kCdQuestion;
constexpr LONG kBackOneCylinder = -static_cast<LONG>(catalogue::kCylinderBytes);

struct VolumeJob {
    HANDLE volume;
    bool usable;
};

// What select mode prepared, taken once: the job keeps its own copy of the handle, so a later
// discovery cannot move the job to another drive. The drive is usable when select mode found
// its 1.44 MB record, which gives the image's cylinder size.
VolumeJob PrepareVolumeJob() {
    VolumeJob job{FloppyDevice.ntVolumeHandle, false};
    const std::int32_t index = FloppyDevice.mediaTypeIndex;
    if (FloppyDevice.selectedDrive == 0 || index < 0 ||
        static_cast<std::size_t>(index) >= kMediaTypeRecords)
        return job;
    const DISK_GEOMETRY& medium = FloppyDevice.mediaTypes[static_cast<std::size_t>(index)];
    const std::uint64_t cylinderBytes =
        std::uint64_t{medium.BytesPerSector} * medium.SectorsPerTrack * medium.TracksPerCylinder;
    job.usable = medium.MediaType == F3_1Pt44_512 && cylinderBytes == catalogue::kCylinderBytes;
    return job;
}

// One cylinder at the handle's position, and back from the disk through the same locked handle.
CylinderAccess VolumeCylinders(HANDLE volume) {
    return {[volume](std::int32_t, const void* data) {
                DWORD written = 0;
                return WriteFile(volume, data, catalogue::kCylinderBytes, &written, nullptr) &&
                       written == catalogue::kCylinderBytes;
            },
            [volume](std::int32_t, void* data) {
                DWORD read = 0;
                return SetFilePointer(volume, kBackOneCylinder, nullptr, FILE_CURRENT) !=
                           INVALID_SET_FILE_POINTER &&
                       ReadFile(volume, data, catalogue::kCylinderBytes, &read, nullptr) &&
                       read == catalogue::kCylinderBytes;
            }};
}

} // namespace

void FloppyWriter::WriteFloppyNT() {
    BeginFloppyJob();
    const VolumeJob job = PrepareVolumeJob();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    const ResourceText caption = ContainerText(catalogue::kErrorCaption);
    if (!LockVolume(job.volume)) {
        ShowErrorBox(ContainerText(catalogue::kLockError), caption);
        JobState.cancelRequested = true;
        EndFloppyJob();
        return;
    }
    {
        const CylinderBuffers buffers;
        if (!buffers)
            ExitWithoutMemory(kNoMemoryNtError, caption);
        CopyCylinders(buffers, caption, job.usable, VolumeCylinders(job.volume));
    }
    // What the system still caches of the disk is written now: if that fails, the disk is not
    // what the job wrote.
    if (!DismountVolume(job.volume) && !JobState.failed) {
        ShowErrorBox(ContainerText(catalogue::kFloppyWriteError), caption);
        JobState.failed = true;
    }
    UnlockVolume(job.volume);
    EndFloppyJob();
}
