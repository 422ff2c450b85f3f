// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/JolietName.h"

#include <locale.h>
#include <wctype.h>

namespace platform::layer {
namespace {

constexpr std::u16string_view kForbidden = u"*/:;?\\\"<>|";
constexpr std::u16string_view kCurrentFolder = u".";
constexpr std::u16string_view kParentFolder = u"..";
// Control characters: C0, DEL and C1.
constexpr char32_t kFirstPrintable = 0x20;
constexpr char32_t kDelete = 0x7F;
constexpr char32_t kLastControl = 0x9F;
// UTF-16 surrogates and the code points they make.
constexpr char32_t kHighSurrogate = 0xD800;
constexpr char32_t kLowSurrogate = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kSupplementaryBase = 0x10000;
constexpr unsigned kSurrogateBits = 10;
// UTF-8 lead bytes and the limits of its 1, 2 and 3 byte forms.
constexpr char32_t kOneByteEnd = 0x80;
constexpr char32_t kTwoByteEnd = 0x800;
constexpr unsigned kContinuationBits = 6;
constexpr char32_t kContinuationMask = 0x3F;
constexpr char32_t kContinuationLead = 0x80;
constexpr char32_t kTwoByteLead = 0xC0;
constexpr char32_t kThreeByteLead = 0xE0;
constexpr char32_t kFourByteLead = 0xF0;
// Case mapping for every script, with ASCII alone when the locale is missing.
constexpr const char* kCaseLocale = "C.UTF-8";
constexpr const char* kFallbackLocale = "C";

bool IsSurrogate(char32_t unit) {
    return unit >= kHighSurrogate && unit < kSurrogateEnd;
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= kHighSurrogate && unit < kLowSurrogate;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= kLowSurrogate && unit < kSurrogateEnd;
}

bool IsControl(char32_t character) {
    return character < kFirstPrintable || (character >= kDelete && character <= kLastControl);
}

// The code points of UTF-16 text; a surrogate without its partner stands for itself.
std::u32string CodePoints(std::u16string_view text) {
    std::u32string points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t low = text[++i];
            points.push_back(kSupplementaryBase + ((unit - kHighSurrogate) << kSurrogateBits) +
                             (low - kLowSurrogate));
        } else {
            points.push_back(unit);
        }
    }
    return points;
}

void AppendUtf8(char32_t point, std::string& out) {
    const auto continuation = [](char32_t bits) {
        return static_cast<char>(kContinuationLead | (bits & kContinuationMask));
    };
    if (point < kOneByteEnd) {
        out.push_back(static_cast<char>(point));
    } else if (point < kTwoByteEnd) {
        out.push_back(static_cast<char>(kTwoByteLead | (point >> kContinuationBits)));
        out.push_back(continuation(point));
    } else if (point < kSupplementaryBase) {
        out.push_back(static_cast<char>(kThreeByteLead | (point >> (2 * kContinuationBits))));
        out.push_back(continuation(point >> kContinuationBits));
        out.push_back(continuation(point));
    } else {
        out.push_back(static_cast<char>(kFourByteLead | (point >> (3 * kContinuationBits))));
        out.push_back(continuation(point >> (2 * kContinuationBits)));
        out.push_back(continuation(point >> kContinuationBits));
        out.push_back(continuation(point));
    }
}

locale_t CaseLocale() {
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, kCaseLocale, locale_t{});
        return made != locale_t{} ? made : newlocale(LC_CTYPE_MASK, kFallbackLocale, locale_t{});
    }();
    return locale;
}

} // namespace

std::optional<std::string> JolietFileName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxJolietNameUnits || name == kCurrentFolder ||
        name == kParentFolder)
        return std::nullopt;
    std::string utf8;
    for (const char32_t point : CodePoints(name)) {
        if (IsSurrogate(point) || IsControl(point) ||
            (point < kOneByteEnd &&
             kForbidden.find(static_cast<char16_t>(point)) != std::u16string_view::npos))
            return std::nullopt;
        AppendUtf8(point, utf8);
    }
    return utf8;
}

std::u32string JolietNameKey(std::u16string_view name) {
    std::u32string key = CodePoints(name);
    for (char32_t& point : key)
        point = static_cast<char32_t>(towupper_l(static_cast<wint_t>(point), CaseLocale()));
    return key;
}

} // namespace platform::layer
