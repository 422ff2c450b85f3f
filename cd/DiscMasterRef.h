// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The holder of the image mastering service's disc master.

#include "cd/ComRef.h"
#include "cd/RecorderRef.h"
#include "platform/ImageMastering.h"

class DiscMasterRef : public ComRef<win::IDiscMaster> {
public:
    /// Creates the disc master; lastResult() is the creation result, and the holder stays
    /// empty when it fails.
    DiscMasterRef();
    /// Closes the disc master held (IDiscMaster::Close), then releases it.
    ~DiscMasterRef();

    /// IDiscMaster::Open; true when the result is not negative. False for an empty holder.
    bool open();

    /// Fetches up to two format identifiers with one Next call of the disc master's format
    /// enumerator. What comes back is not used, and a failure changes nothing.
    void fetchFormats();

    /// IDiscMaster::SetActiveDiscRecorder with the recorder recorder holds (none when it is
    /// empty); true when the result is not negative. False for an empty holder.
    bool setActiveRecorder(const RecorderRef& recorder);
};
