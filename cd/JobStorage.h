// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The temporary compound files of the CD build job, and their streams filled from the
// container.

#include "platform/ComPtr.h"
#include "platform/Storage.h"
#include "resfile/ResourceFile.h"

/// A new temporary compound file (no name, created for exclusive reading and writing); the
/// caller owns it, and it goes with its last reference. Throws BuildFailure with reason when it
/// cannot be created.
platform::ComPtr<win::IStorage> CreateTemporaryStorage(const char* reason);

/// Creates the stream name in storage, writes the data of container entry id into it and
/// releases it. Throws BuildFailure: "Failed creating stream" when the stream cannot be created,
/// a name the storage already holds among them (the storage compares names ignoring case), or
/// what CopyEntryToStream throws.
void StoreEntry(win::IStorage* storage, const win::OLECHAR* name, ResourceId id);
