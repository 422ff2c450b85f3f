// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The files of the CD, taken from the container: the name of file i is text 5000 + i, its
// contents entry 5100 + i, for at most 100 files; the first missing or empty name ends the set.

#include "platform/ComPtr.h"
#include "platform/Storage.h"

/// A new temporary storage holding one stream per file of the set, named by the file's name
/// widened to UTF-16 and holding the bytes of its contents entry (a set without files gives a
/// storage without streams); the caller owns it. Calling thread: the CD build job's. Throws
/// BuildFailure: "Failed Creating temp" when the storage cannot be made, "Failed converting
/// name" for a name the code page does not convert one-to-one, "Failed creating stream" for a
/// name the storage refuses or already holds in any case, or what StoreEntry throws (a name
/// without contents entry among them).
platform::ComPtr<win::IStorage> BuildFileSet();
