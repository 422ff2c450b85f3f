// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/FloppyJob.h"

#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "app/MessageBoxes.h"
#include "floppy/ExtentScan.h"
#include "platform/System.h"
#include "resfile/Catalogue.h"

#include <cstring>

using namespace win;

CylinderBuffers::CylinderBuffers() : buffer_(2 * std::size_t{catalogue::kCylinderBytes}) {
}

void* CylinderBuffers::readBack() const {
    return static_cast<unsigned char*>(buffer_.get()) + catalogue::kCylinderBytes;
}

void BeginFloppyJob() {
    JobState.busy = true;
    JobState.cancelRequested = false;
    JobState.cylinderCount = FindLastUsedCylinder();
    JobState.floppyJobStarting = false;
}

void EndFloppyJob() {
    JobState.busy = false;
    JobState.progress = 0;
}

void ExitWithoutMemory(ResourceId text, const ResourceText& caption) {
    ShowErrorBox(ContainerText(text), caption);
    ExitProcess(0);
}

void CopyCylinders(const CylinderBuffers& buffers, const ResourceText& caption, bool driveUsable,
                   const CylinderAccess& disk) {
    const ResourceText readError = ContainerText(catalogue::kInvalidImageError);
    const ResourceText writeError = ContainerText(catalogue::kFloppyWriteError);
    JobState.failed = false;
    if (!driveUsable) {
        ShowErrorBox(writeError, caption);
        JobState.failed = true;
        return;
    }
    const HANDLE file = JobState.resourceFile;
    const auto image = static_cast<std::uint32_t>(JobState.bootImageOffset.load());
    const std::int32_t count = JobState.cylinderCount;
    for (std::int32_t index = 0; index < count; ++index) {
        const std::uint32_t offset =
            image + static_cast<std::uint32_t>(index) * catalogue::kCylinderBytes;
        std::uint32_t got = 0;
        if (!ReadResourceBytesAt(file, offset, buffers.image(), catalogue::kCylinderBytes, &got) ||
            got != catalogue::kCylinderBytes) {
            ShowErrorBox(readError, caption);
            JobState.failed = true;
            return;
        }
        // Floppy controllers do not verify what they write: only the disk's own answer counts.
        if (!disk.write(index, buffers.image()) || !disk.readBack(index, buffers.readBack()) ||
            std::memcmp(buffers.image(), buffers.readBack(), catalogue::kCylinderBytes) != 0) {
            ShowErrorBox(writeError, caption);
            JobState.failed = true;
            return;
        }
        JobState.progress = index;
        if (JobState.cancelRequested)
            return;
    }
}
