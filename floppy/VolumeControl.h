// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The NT volume requests around a floppy write: one DeviceIoControl each, without input or
// output buffer. Each returns whether the device carried the request out.

#include "platform/Types.h"

/// FSCTL_LOCK_VOLUME: exclusive use of the volume; fails while it is in use elsewhere.
bool LockVolume(win::HANDLE volume);
/// FSCTL_DISMOUNT_VOLUME: the file system lets go of the volume, and its buffers are written.
bool DismountVolume(win::HANDLE volume);
/// FSCTL_UNLOCK_VOLUME: gives up the lock.
bool UnlockVolume(win::HANDLE volume);
