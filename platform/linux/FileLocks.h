// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Every kind of lock a peer may hold on a disk backing, and the ones a job holds: the whole-file
// flock that the layer's own handles take, and an open-file-description write lock over the
// whole file, which conflicts with any POSIX (lockf, fcntl) or open-file-description lock
// another process holds, such as an emulator's on the image it runs from.

#include <string>

namespace platform::layer {

/// Takes both locks on the open file fd (not an O_PATH descriptor); they live with its open
/// file description until UnlockFile or its last close. The record lock is a write lock when fd
/// is open for writing, else a read lock (a write-protected disk: it still finds every writer).
/// False when another holds a conflicting lock, with *holder saying who, for the log; nothing
/// is kept then.
bool LockFile(int fd, std::string* holder);

/// Gives both locks up.
void UnlockFile(int fd);

} // namespace platform::layer
