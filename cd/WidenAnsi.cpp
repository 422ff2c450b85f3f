// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/WidenAnsi.h"

#include <limits>

using namespace win;

namespace {
constexpr DWORD kNoFlags = 0;
} // namespace

WideText WidenAnsi(std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return {};
    const auto bytes = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, kNoFlags, text.data(), bytes, nullptr, 0);
    if (units <= 0)
        return {};
    WideText wide(static_cast<std::size_t>(units), WCHAR{});
    if (MultiByteToWideChar(CP_ACP, kNoFlags, text.data(), bytes, wide.data(), units) != units)
        return {};
    return wide;
}
