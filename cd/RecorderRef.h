// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The holder of one recorder of the image mastering service. It starts empty and is filled by
// RecorderEnumRef::nextRecorder.

#include "cd/ComRef.h"
#include "platform/ImageMastering.h"

#include <string>

class RecorderEnumRef;

class RecorderRef : public ComRef<win::IDiscRecorder> {
public:
    RecorderRef() = default;
    /// Closes the recorder held (IDiscRecorder::Close), then releases it.
    ~RecorderRef();

    /// The recorder's device path from IDiscRecorder::GetPath, in the calling thread's ANSI
    /// code page; empty when nothing is held or the call fails. The system string is freed.
    std::string devicePath();

    /// Closes and releases the recorder held; the holder is then empty.
    void reset();

private:
    friend class RecorderEnumRef;
    /// Holds recorder, taking over its reference, after resetting.
    void attach(platform::ComPtr<win::IDiscRecorder> recorder);
};
