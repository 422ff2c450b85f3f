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
/// grabs the drive (loading its tray), reads its disc status once and writes only a blank disc
/// (MediumRule.h), generates the image and streams it to the drive (through a FIFO for an
/// optical drive), waits for the end within the drive's limits and judges the disc. A file
/// recorder records into a new file beside its .iso, which replaces the .iso only when the disc
/// is good; otherwise the .iso stays as it was. S_OK only when libburn reports that it wrote
/// well, no stream of the image failed to read (readFailed stays false) and, for a file
/// recorder, the file holds exactly the image on the medium. Failures, each with its reason in
/// the log beside libburn's and libisofs's messages: IMAPI_E_DEVICE_NOTACCESSIBLE (the drive
/// cannot be grabbed, no file can be created beside the .iso), IMAPI_E_MEDIUM_NOTPRESENT (no
/// disc), IMAPI_E_MEDIUM_INVALIDTYPE (not a blank disc libburn can write, or one not ready),
/// IMAPI_E_DISCFULL, IMAPI_E_FILESYSTEM (libisofs cannot generate the image),
/// IMAPI_E_FILEACCESS (a stream failed to read), IMAPI_E_GENERIC (the write failed, stalled or
/// was cancelled, or the file could not take the .iso's place). Ending signals wait while it
/// runs (EndingSignals.h): when one arrives the write is aborted, the drive released and the
/// temporary file removed, and the process then ends by that signal instead of returning.
win::HRESULT RecordImage(const RecorderEntry& recorder, JolietImage& image,
                         const RecordingRequest& request, const std::atomic<bool>& readFailed);

} // namespace platform::layer
