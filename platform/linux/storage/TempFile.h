// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The file behind a temporary storage: opened for reading and writing and named by no folder,
// so it goes with its last descriptor, however the process ends.

#include "platform/ScopedHandle.h"

#include <string>

namespace platform::layer {

struct DescriptorTraits {
    using Handle = int;
    static Handle invalid() noexcept { return -1; }
    static void close(Handle descriptor) noexcept;
};

/// Owns a POSIX file descriptor.
using FileDescriptor = ScopedHandle<DescriptorTraits>;

/// The folder for temporary files: $TMPDIR when set and not empty, else /tmp.
std::string TempFolder();

/// Opens a new unnamed file in folder (O_TMPFILE), falling back on CreateAndUnlinkFile where
/// the file system cannot make unnamed files. An invalid descriptor with errno's code in *error
/// on failure.
FileDescriptor OpenUnlinkedFile(const std::string& folder, int* error);

/// Makes a uniquely named file in folder and removes its name at once. An invalid descriptor
/// with errno's code in *error on failure.
FileDescriptor CreateAndUnlinkFile(const std::string& folder, int* error);

} // namespace platform::layer
