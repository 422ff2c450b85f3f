// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// No exception may leave a COM method: the work of one that allocates runs through this.

#include "platform/Com.h"

#include <new>

namespace platform::layer {

/// Runs body and returns its result, or code when it ran out of memory.
template <typename Body> win::HRESULT ReportOutOfMemory(win::HRESULT code, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return code;
    }
}

} // namespace platform::layer
