// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Texts the layer hands out in memory from CoTaskMemAlloc, which the receiver frees.

#include "platform/Storage.h"

#include <string_view>

namespace platform::layer {

/// A 0-terminated copy of text from CoTaskMemAlloc; null when there is no memory.
win::LPOLESTR CopyToTaskMemory(std::u16string_view text);

} // namespace platform::layer
