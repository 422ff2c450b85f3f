// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/WidenAnsi.h"

#include <limits>

using namespace win;

namespace {

constexpr DWORD kNoFlags = 0;

// The bytes the text gives in the ANSI code page; empty when a character has none there.
std::string NarrowAnsi(const WideText& wide) {
    const auto units = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, kNoFlags, wide.data(), units, nullptr, 0, nullptr,
                                          &usedDefault);
    if (bytes <= 0 || usedDefault)
        return {};
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, kNoFlags, wide.data(), units, narrow.data(), bytes, nullptr,
                            &usedDefault) != bytes ||
        usedDefault)
        return {};
    return narrow;
}

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
    // A byte that gives U+FFFD, or two spellings of one character, does not come back as it was.
    if (NarrowAnsi(wide) != text)
        return {};
    return wide;
}
