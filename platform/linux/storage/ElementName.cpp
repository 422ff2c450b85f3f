// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/ElementName.h"

#include <algorithm>
#include <string_view>

namespace platform::layer {
namespace {

constexpr std::u16string_view kForbiddenUnits = u"/\\:!";

constexpr char16_t kLowerA = u'a';
constexpr char16_t kLowerZ = u'z';
constexpr char16_t kLatin1LowerFirst = 0xE0; // a with grave
constexpr char16_t kLatin1LowerLast = 0xFE;  // thorn
constexpr char16_t kLatin1Division = 0xF7;   // the division sign between them is no letter
constexpr char16_t kLatin1YDiaeresis = 0xFF; // its capital lies outside Latin-1
constexpr char16_t kCapitalYDiaeresis = 0x178;
constexpr char16_t kCaseDistance = u'a' - u'A';

char16_t UpperCase(char16_t unit) {
    if ((unit >= kLowerA && unit <= kLowerZ) ||
        (unit >= kLatin1LowerFirst && unit <= kLatin1LowerLast && unit != kLatin1Division))
        return static_cast<char16_t>(unit - kCaseDistance);
    if (unit == kLatin1YDiaeresis)
        return kCapitalYDiaeresis;
    return unit;
}

} // namespace

bool IsValidElementName(const win::OLECHAR* name) {
    if (name == nullptr)
        return false;
    std::size_t length = 0;
    for (; name[length] != 0; ++length) {
        if (length == kMaxElementNameUnits ||
            kForbiddenUnits.find(name[length]) != kForbiddenUnits.npos)
            return false;
    }
    return length > 0;
}

int CompareNames(std::u16string_view left, std::u16string_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t at = 0; at < common; ++at) {
        const char16_t leftUnit = UpperCase(left[at]);
        const char16_t rightUnit = UpperCase(right[at]);
        if (leftUnit != rightUnit)
            return leftUnit < rightUnit ? -1 : 1;
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}

bool ElementNameLess::operator()(const std::u16string& left, const std::u16string& right) const {
    if (left.size() != right.size())
        return left.size() < right.size();
    return CompareNames(left, right) < 0;
}

} // namespace platform::layer
