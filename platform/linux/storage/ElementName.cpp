// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/ElementName.h"

namespace platform::layer {

bool IsValidElementName(const win::OLECHAR* name) {
    if (name == nullptr)
        return false;
    // One unit more than allowed is enough to tell a name that is too long.
    std::size_t length = 0;
    while (length <= kMaxElementNameUnits && name[length] != 0)
        ++length;
    return static_cast<bool>(CheckElementName(std::u16string_view(name, length)));
}

int CompareNames(std::u16string_view left, std::u16string_view right) {
    const int compared = NameKey(left).compare(NameKey(right));
    return compared < 0 ? -1 : (compared > 0 ? 1 : 0);
}

bool ElementNameLess::operator()(const std::u16string& left, const std::u16string& right) const {
    if (left.size() != right.size())
        return left.size() < right.size();
    return CompareNames(left, right) < 0;
}

} // namespace platform::layer
