// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The process's handles. A handle is a small number, never an address, so a stale or forged
// handle finds nothing instead of freed memory; an object stays alive while a call on it runs,
// even when another thread closes its handle meanwhile.

#include "platform/linux/KernelObject.h"

#include <memory>

namespace platform::layer {

/// Registers the object and returns its new handle.
win::HANDLE InsertHandle(std::shared_ptr<KernelObject> object);

/// The object of an open handle, or null (last error ERROR_INVALID_HANDLE).
std::shared_ptr<KernelObject> LookupHandle(win::HANDLE handle);

/// Forgets the handle; false (ERROR_INVALID_HANDLE) when it was not open.
bool RemoveHandle(win::HANDLE handle);

} // namespace platform::layer
