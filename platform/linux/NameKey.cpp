// SPDX-License-Identifier: GPL-2.0-or-later
// May assume glibc: its C.UTF-8 locale maps case for every script by Unicode's simple mapping.
#include "platform/FileNameRules.h"

#include <locale.h>
#include <wctype.h>

namespace platform {
namespace {

constexpr const char* kCaseLocale = "C.UTF-8";
// Without that locale, ASCII letters alone.
constexpr const char* kFallbackLocale = "C";
constexpr wint_t kSurrogateFirst = 0xD800;
constexpr wint_t kSurrogateEnd = 0xE000;
constexpr wint_t kUnitEnd = 0x10000;

locale_t CaseLocale() {
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, kCaseLocale, locale_t{});
        return made != locale_t{} ? made : newlocale(LC_CTYPE_MASK, kFallbackLocale, locale_t{});
    }();
    return locale;
}

} // namespace

std::u16string NameKey(std::u16string_view name) {
    std::u16string key(name);
    for (char16_t& unit : key) {
        const wint_t character = unit;
        if (character >= kSurrogateFirst && character < kSurrogateEnd)
            continue;
        const wint_t upper = towupper_l(character, CaseLocale());
        if (upper < kUnitEnd)
            unit = static_cast<char16_t>(upper);
    }
    return key;
}

} // namespace platform
