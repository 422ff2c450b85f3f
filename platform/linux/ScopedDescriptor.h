// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The owner of a POSIX file descriptor.

#include "platform/ScopedHandle.h"

#include <unistd.h>

namespace platform::layer {

struct DescriptorTraits {
    using Handle = int;
    static Handle invalid() noexcept { return -1; }
    static void close(Handle fd) noexcept { ::close(fd); }
};

/// Owns a descriptor from open(2); closes it when it goes.
using ScopedDescriptor = ScopedHandle<DescriptorTraits>;

} // namespace platform::layer
