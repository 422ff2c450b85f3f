// SPDX-License-Identifier: GPL-2.0-or-later
#include "resfile/Catalogue.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using catalogue::ArgKind;

// checks that the text list is exactly the user-interface range without its unused identifiers
TEST(Catalogue, TextIdentifiersCoverTheTextRange) {
    constexpr ResourceId kFirst = 1000;
    constexpr ResourceId kLast = 1050;
    const std::vector<ResourceId> unused = {1003, 1017, 1018, 1019, 1025, 1029};
    std::vector<ResourceId> expected;
    for (ResourceId id = kFirst; id <= kLast; ++id) {
        if (std::find(unused.begin(), unused.end(), id) == unused.end()) {
            expected.push_back(id);
        }
    }
    const auto listed = catalogue::TextIdentifiers();
    EXPECT_EQ(std::vector<ResourceId>(listed.begin(), listed.end()), expected);
}

// checks that exactly the six format texts receive arguments, each its own signature
TEST(Catalogue, FormatSignatures) {
    using enum ArgKind;
    for (ResourceId id : catalogue::TextIdentifiers()) {
        SCOPED_TRACE(id);
        const auto kinds = catalogue::FormatArguments(id);
        std::vector<ArgKind> expected;
        switch (id) {
        case 1010:
        case 1037:
            expected = {Character};
            break;
        case 1012:
            expected = {String};
            break;
        case 1016:
            expected = {Integer, Integer};
            break;
        case 1023:
        case 1032:
            expected = {String, Character};
            break;
        default:
            break;
        }
        EXPECT_EQ(std::vector<ArgKind>(kinds.begin(), kinds.end()), expected);
    }
    EXPECT_TRUE(catalogue::FormatArguments(catalogue::kCdFileNameFirst).empty());
}

} // namespace
