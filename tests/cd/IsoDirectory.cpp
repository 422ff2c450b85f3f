// SPDX-License-Identifier: GPL-2.0-or-later
#include "IsoDirectory.h"

#include "resfile/LittleEndian.h"
#include "support/ContainerBuilder.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

namespace disctest {
namespace {

constexpr std::size_t kBlock = 2048;
constexpr std::size_t kFirstDescriptor = 16;
constexpr std::uint8_t kPrimary = 1;
constexpr std::uint8_t kSupplementary = 2;
constexpr std::uint8_t kTerminator = 255;
constexpr std::string_view kStandardId = "CD001";
constexpr std::size_t kStandardIdAt = 1;
constexpr std::size_t kEscapesAt = 88;
constexpr std::string_view kJolietLevels[] = {"%/@", "%/C", "%/E"};
constexpr std::size_t kRootRecordAt = 156;
constexpr std::size_t kExtentAt = 2;
constexpr std::size_t kLengthAt = 10;
constexpr std::size_t kNameLengthAt = 32;
constexpr std::size_t kNameAt = 33;
// The first two records of a folder stand for itself and its parent.
constexpr std::size_t kOwnRecords = 2;

// The raw names of the root folder that the volume descriptor of the given type (and, for a
// supplementary one, Joliet escapes) points to.
std::optional<std::vector<std::string>> RootNames(const test::Bytes& disc, std::uint8_t type) {
    for (std::size_t block = kFirstDescriptor; (block + 1) * kBlock <= disc.size(); ++block) {
        const std::size_t descriptor = block * kBlock;
        if (disc[descriptor] == kTerminator)
            break;
        const std::string_view id(reinterpret_cast<const char*>(&disc[descriptor + kStandardIdAt]),
                                  kStandardId.size());
        if (disc[descriptor] != type || id != kStandardId)
            continue;
        const std::string_view escapes(
            reinterpret_cast<const char*>(&disc[descriptor + kEscapesAt]), 3);
        if (type == kSupplementary && std::find(std::begin(kJolietLevels), std::end(kJolietLevels),
                                                escapes) == std::end(kJolietLevels))
            continue;
        const std::size_t root = descriptor + kRootRecordAt;
        const std::size_t start = le::Read32(&disc[root + kExtentAt]) * kBlock;
        const std::size_t end = start + le::Read32(&disc[root + kLengthAt]);
        if (end > disc.size())
            return std::nullopt;
        std::vector<std::string> names;
        std::size_t records = 0;
        for (std::size_t at = start; at < end;) {
            const std::size_t length = disc[at];
            if (length == 0) { // the rest of this block is unused
                at = (at / kBlock + 1) * kBlock;
                continue;
            }
            if (records++ >= kOwnRecords)
                names.emplace_back(reinterpret_cast<const char*>(&disc[at + kNameAt]),
                                   disc[at + kNameLengthAt]);
            at += length;
        }
        return names;
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> IsoRootNames(const std::string& disc) {
    return RootNames(test::ReadFileBytes(disc), kPrimary).value_or(std::vector<std::string>{});
}

std::vector<std::u16string> JolietRootNames(const std::string& disc) {
    std::vector<std::u16string> names;
    for (const std::string& raw : RootNames(test::ReadFileBytes(disc), kSupplementary)
                                      .value_or(std::vector<std::string>{})) {
        std::u16string name;
        // Joliet stores UTF-16 big-endian.
        for (std::size_t at = 0; at + 1 < raw.size(); at += 2)
            name.push_back(static_cast<char16_t>(static_cast<unsigned char>(raw[at]) << 8 |
                                                 static_cast<unsigned char>(raw[at + 1])));
        names.push_back(name);
    }
    return names;
}

} // namespace disctest
