// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The owner of a POSIX file descriptor.

#include "platform/ScopedHandle.h"

#include <unistd.h>

namespace platform::layer {

struct FdTraits {
    using Handle = int;
    static Handle invalid() noexcept { return -1; }
    static void close(Handle fd) noexcept { ::close(fd); }
};

/// Owns a descriptor from open(); closes it when it goes.
using UniqueFd = ScopedHandle<FdTraits>;

} // namespace platform::layer
