// SPDX-License-Identifier: GPL-2.0-or-later
// The portable part of the name rules; the upper-casing of NameKey is each platform's own.
#include "platform/FileNameRules.h"

namespace platform {
namespace {

constexpr std::u16string_view kRefusedInElements = u"/\\:!";
constexpr std::u16string_view kRefusedOnDisc = u"*/:;?\\\"<>|";
constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kDelete = 0x7F;
constexpr char16_t kLastControl = 0x9F;
constexpr char16_t kHighSurrogate = 0xD800;
constexpr char16_t kLowSurrogate = 0xDC00;
constexpr char16_t kSurrogateEnd = 0xE000;
constexpr char16_t kDot = u'.';
constexpr char16_t kBlank = u' ';

bool IsHighSurrogate(char16_t unit) {
    return unit >= kHighSurrogate && unit < kLowSurrogate;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= kLowSurrogate && unit < kSurrogateEnd;
}

bool IsControl(char16_t unit) {
    return unit < kFirstPrintable || (unit >= kDelete && unit <= kLastControl);
}

// The unit at which name breaks a surrogate pair, or npos.
std::size_t BrokenPairAt(std::u16string_view name) {
    for (std::size_t at = 0; at < name.size(); ++at) {
        if (IsHighSurrogate(name[at]) && at + 1 < name.size() && IsLowSurrogate(name[at + 1]))
            ++at;
        else if (IsHighSurrogate(name[at]) || IsLowSurrogate(name[at]))
            return at;
    }
    return std::u16string_view::npos;
}

} // namespace

NameVerdict CheckElementName(std::u16string_view name) {
    if (name.empty())
        return {NameFault::Empty};
    if (name.size() > kMaxElementNameUnits)
        return {NameFault::TooLong};
    if (const std::size_t at = name.find_first_of(kRefusedInElements); at != name.npos)
        return {NameFault::RefusedCharacter, at};
    return {};
}

NameVerdict CheckDiscName(std::u16string_view name) {
    if (name.empty())
        return {NameFault::Empty};
    if (name.size() > kMaxDiscNameUnits)
        return {NameFault::TooLong};
    for (std::size_t at = 0; at < name.size(); ++at) {
        if (IsControl(name[at]))
            return {NameFault::ControlCharacter, at};
        if (kRefusedOnDisc.find(name[at]) != kRefusedOnDisc.npos)
            return {NameFault::RefusedCharacter, at};
    }
    if (const std::size_t at = BrokenPairAt(name); at != name.npos)
        return {NameFault::BrokenSurrogate, at};
    if (name.back() == kDot || name.back() == kBlank)
        return {NameFault::TrailingDotOrBlank, name.size() - 1};
    return {};
}

} // namespace platform
