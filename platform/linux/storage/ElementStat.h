// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The STATSTG of an element, as the Stat methods and the element enumerator give it.

#include "platform/Storage.h"

#include <cstdint>
#include <string_view>

namespace platform::layer {

/// Fills *stat for an element of that name, type, size and open mode; the name is copied into
/// task memory unless flags hold STATFLAG_NONAME. STG_E_INVALIDFLAG for flags other than the
/// STATFLAG_ bits, STG_E_INSUFFICIENTMEMORY (*stat then untouched).
win::HRESULT DescribeElement(std::u16string_view name, win::DWORD type, std::uint64_t size,
                             win::DWORD mode, win::DWORD flags, win::STATSTG* stat);

} // namespace platform::layer
