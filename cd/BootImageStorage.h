// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The boot floppy image staged in a temporary storage of its own, from which it reaches the
// disc's boot record.

#include "platform/ComPtr.h"
#include "platform/Storage.h"

struct BootImageStorage {
    /// The temporary storage holding the one stream "bootimg".
    platform::ComPtr<win::IStorage> storage;
    /// "bootimg" open for reading, its seek pointer at the start. Declared last, so that it goes
    /// before its storage.
    platform::ComPtr<win::IStream> reader;
};

/// Copies the boot image (entry 10000) into the stream "bootimg" of a new temporary storage and
/// opens that stream again for reading; the caller owns both. Calling thread: the CD build
/// job's. Throws BuildFailure: "Failed Creating tempboot", "Failed creating stream", "Failed
/// Opening BootStream", or what StoreEntry throws.
BootImageStorage BuildBootImageStorage();
