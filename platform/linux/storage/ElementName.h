// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Names of the elements of a storage, with the rules and the order of a compound file.

#include "platform/Com.h"
#include "platform/FileNameRules.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::layer {

/// Whether name may name an element (see CheckElementName). Reads at most one unit past the
/// longest allowed name; false for null.
bool IsValidElementName(const win::OLECHAR* name);

/// Compares two texts unit by unit after upper-casing them (NameKey), as a compound file
/// compares the names of its elements and properties: below 0 when left comes first, 0 when
/// they are the same name, above 0 otherwise.
int CompareNames(std::u16string_view left, std::u16string_view right);

/// The order of a compound file's directory: shorter names first, names of one length by
/// CompareNames. Two names that neither precedes name the same element: "Boot" and "BOOT".
struct ElementNameLess {
    bool operator()(const std::u16string& left, const std::u16string& right) const;
};

} // namespace platform::layer
