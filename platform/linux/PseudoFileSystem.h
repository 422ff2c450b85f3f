// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whether a file lives on a pseudo file system (procfs, sysfs, devtmpfs, cgroup, ...), whose
// "files" are views of the kernel's state: such a file is never a disk, whatever its size.

#include <optional>
#include <string>
#include <sys/stat.h>

namespace platform::layer {

/// The name of the pseudo file system that holds the open file fd (status: its fstat), or
/// nothing when it lives on a file system that stores data. Judged by the file system's type
/// number (fstatfs) and by the type its mount gives for the file's device number.
std::optional<std::string> PseudoFileSystemOf(int fd, const struct stat& status);

} // namespace platform::layer
