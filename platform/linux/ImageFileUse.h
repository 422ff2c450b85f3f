// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whether an image file is in use as a disk elsewhere: attached to a loop device, or the source
// of a mount (a FUSE file system over the image). Writing it then would go behind the back of
// a file system.

#include <sys/stat.h>

namespace platform::layer {

/// True when a loop device is backed by the file with this status, or a mount of this process's
/// namespace names the file as its source.
bool ImageFileInUse(const struct stat& file);

} // namespace platform::layer
