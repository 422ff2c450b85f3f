// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Recording an image onto a recorder with libburn, and the judgement whether the disc is good.

#include "platform/Com.h"
#include "platform/linux/cd/JolietImage.h"
#include "platform/linux/cd/RecorderRegistry.h"

#include <atomic>

namespace platform::layer {

struct RecordingRequest {
    /// Run libburn's simulation (an optical drive writes nothing; a file recorder's file stays
    /// as it was).
    bool simulate = false;
    /// Eject the disc once the drive is done with it.
    bool eject = false;
};

/// Records the image onto the recorder on the calling thread and returns when the drive is done:
/// grabs the drive, checks for a blank disc, generates the image and streams it to the drive
/// (through a FIFO for an optical drive), waits for the end and judges the disc. S_OK only when
/// libburn reports that it wrote well, no stream of the image failed to read (readFailed stays
/// false) and, for a file recorder, the file holds exactly the image. Failures:
/// IMAPI_E_DEVICE_NOTACCESSIBLE (the drive cannot be grabbed, an old file cannot be removed),
/// IMAPI_E_MEDIUM_NOTPRESENT (no disc), IMAPI_E_MEDIUM_INVALIDTYPE (not a blank disc libburn
/// can write), IMAPI_E_DISCFULL, IMAPI_E_FILESYSTEM (libisofs cannot generate the image),
/// IMAPI_E_FILEACCESS (a stream failed to read), IMAPI_E_GENERIC (the write failed). A file
/// recorder's file is removed on failure.
win::HRESULT RecordImage(const RecorderEntry& recorder, JolietImage& image,
                         const RecordingRequest& request, const std::atomic<bool>& readFailed);

} // namespace platform::layer
