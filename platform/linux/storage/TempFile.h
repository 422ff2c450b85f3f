// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The file behind a temporary storage: opened for reading and writing and named by no folder,
// so it goes with its last descriptor, however the process ends.

#include "platform/linux/ScopedDescriptor.h"

#include <string>

namespace platform::layer {

/// The folder for temporary files: $TMPDIR when set and not empty, else /tmp.
std::string TempFolder();

/// Opens a new unnamed file in folder (O_TMPFILE), falling back on CreateAndUnlinkFile where
/// the file system cannot make unnamed files. An invalid descriptor with errno's code in *error
/// on failure.
ScopedDescriptor OpenUnlinkedFile(const std::string& folder, int* error);

/// Makes a uniquely named file in folder and removes its name at once. An invalid descriptor
/// with errno's code in *error on failure.
ScopedDescriptor CreateAndUnlinkFile(const std::string& folder, int* error);

} // namespace platform::layer
