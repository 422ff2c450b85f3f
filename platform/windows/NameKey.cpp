// SPDX-License-Identifier: GPL-2.0-or-later
// May assume Windows 2000 or later: the invariant locale's upper-casing, which maps every
// character of a string on its own.
#include "platform/FileNameRules.h"
#include "platform/windows/WindowsApi.h"

namespace platform {

std::u16string NameKey(std::u16string_view name) {
    if (name.empty())
        return std::u16string();
    std::u16string key(name.size(), u'\0');
    const auto units = static_cast<int>(name.size());
    if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE,
                     reinterpret_cast<const wchar_t*>(name.data()), units,
                     reinterpret_cast<wchar_t*>(key.data()), units) != units)
        return std::u16string(name);
    return key;
}

} // namespace platform
