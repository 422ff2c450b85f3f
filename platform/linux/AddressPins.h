// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The layer's side of platform::AddressPin: a 64-bit address stands in a 32-bit register or
// packet field as a token, which the VWIN32 device turns back into the address.

#include "platform/Devices.h"

#include <cstddef>

namespace platform::layer {

/// The address a live pin's value stands for, provided the pin allows access to bytes bytes
/// from it; null for a value no live pin has, or for a larger access.
void* ResolvePinnedAddress(win::DWORD value, std::size_t bytes);

} // namespace platform::layer
