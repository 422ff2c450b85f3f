// SPDX-License-Identifier: GPL-2.0-or-later
// The Windows 9x floppy job: absolute sector writes through VWIN32, one cylinder per request,
// each read back with the read counterpart of the service.
#include "app/ContainerTexts.h"
#include "app/MessageBoxes.h"
#include "floppy/FloppyDevice.h"
#include "floppy/FloppyJob.h"
#include "floppy/FloppyWriter.h"
#include "floppy/SectorRequests.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"

using namespace win;

namespace {

struct SectorJob {
    std::int32_t drive;
    std::uint16_t sectorsPerCylinder;
    bool usable;
};

// The drive and geometry that select mode stored, taken once. A select mode that found no
// 1.44 MB drive leaves no drive and no geometry, and the job then writes nothing.
SectorJob PrepareSectorJob() {
    SectorJob job{FloppyDevice.selectedDrive, 0, false};
    if (job.drive == 0 || FloppyDevice.cylinders == 0)
        return job;
    job.sectorsPerCylinder =
        static_cast<std::uint16_t>(FloppyDevice.totalSectors / FloppyDevice.cylinders);
    job.usable = FloppyDevice.bytesPerSector == catalogue::kSectorBytes &&
                 std::uint32_t{job.sectorsPerCylinder} * FloppyDevice.bytesPerSector ==
                     catalogue::kCylinderBytes;
    return job;
}

std::uint32_t FirstSectorOf(const SectorJob& job, std::int32_t cylinder) {
    return static_cast<std::uint32_t>(cylinder) * job.sectorsPerCylinder;
}

CylinderAccess SectorCylinders(const SectorJob& job) {
    return {
        [job](std::int32_t index, const void* data) {
            return WriteSectors(FirstSectorOf(job, index), job.sectorsPerCylinder, job.drive, data);
        },
        [job](std::int32_t index, void* data) {
            return ReadSectors(FirstSectorOf(job, index), job.sectorsPerCylinder, job.drive, data);
        }};
}

} // namespace

void FloppyWriter::WriteFloppy9x() {
    BeginFloppyJob();
    const SectorJob job = PrepareSectorJob();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    {
        const CylinderBuffers buffers;
        const ResourceText caption = ContainerText(catalogue::kErrorCaption);
        if (!buffers)
            ExitWithoutMemory(catalogue::kNoMemory9xError, caption);
        CopyCylinders(buffers, caption, job.usable, SectorCylinders(job));
    }
    EndFloppyJob();
}
