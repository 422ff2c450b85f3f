// SPDX-License-Identifier: GPL-2.0-or-later
// System strings: the length in bytes as a 32-bit prefix, the units, and a terminating 0. The
// memory comes from malloc, since a BSTR crosses the seam as a plain pointer.
#include "platform/Com.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace win {
namespace {

using LengthPrefix = std::uint32_t;

LengthPrefix* PrefixOf(BSTR text) {
    return reinterpret_cast<LengthPrefix*>(text) - 1;
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
    if (bytes > std::numeric_limits<LengthPrefix>::max())
        return nullptr;
    auto* prefix =
        static_cast<LengthPrefix*>(std::malloc(sizeof(LengthPrefix) + bytes + sizeof(OLECHAR)));
    if (prefix == nullptr)
        return nullptr;
    *prefix = static_cast<LengthPrefix>(bytes);
    BSTR units = reinterpret_cast<BSTR>(prefix + 1);
    if (text != nullptr)
        std::memcpy(units, text, bytes);
    else
        std::memset(units, 0, bytes);
    units[length] = 0;
    return units;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<OLECHAR>::length(text)));
}

void SysFreeString(BSTR text) {
    if (text != nullptr)
        std::free(PrefixOf(text));
}

UINT SysStringLen(BSTR text) {
    return text == nullptr ? 0 : static_cast<UINT>(*PrefixOf(text) / sizeof(OLECHAR));
}

} // namespace win
