// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/MountTable.h"

#include "platform/linux/SysfsBlock.h"

#include <fstream>
#include <sstream>
#include <string_view>

namespace platform::layer {
namespace {

constexpr const char* kMountTable = "/proc/self/mountinfo";
constexpr std::string_view kOptionalFieldsEnd = " - ";
constexpr int kOctalEscapeDigits = 3;
constexpr int kOctalBase = 8;

bool IsOctalEscape(std::string_view field, std::size_t at) {
    if (field[at] != '\\' || field.size() - at <= static_cast<std::size_t>(kOctalEscapeDigits))
        return false;
    for (int digit = 1; digit <= kOctalEscapeDigits; ++digit) {
        const char c = field[at + static_cast<std::size_t>(digit)];
        if (c < '0' || c >= '0' + kOctalBase)
            return false;
    }
    return true;
}

// Mount table fields escape space, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
    std::string plain;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (!IsOctalEscape(field, at)) {
            plain += field[at];
            continue;
        }
        int code = 0;
        for (int digit = 1; digit <= kOctalEscapeDigits; ++digit)
            code = code * kOctalBase + (field[at + static_cast<std::size_t>(digit)] - '0');
        plain += static_cast<char>(code);
        at += kOctalEscapeDigits;
    }
    return plain;
}

// One line: id, parent id, MAJOR:MINOR, root, mount point, options, optional fields, " - ",
// type, source, super options.
std::optional<Mount> ParseLine(const std::string& line) {
    const std::size_t end = line.find(kOptionalFieldsEnd);
    if (end == std::string::npos)
        return std::nullopt;
    std::istringstream front(line.substr(0, end));
    std::string id, parent, number, root, point;
    if (!(front >> id >> parent >> number >> root >> point))
        return std::nullopt;
    const auto device = ParseDeviceNumber(number);
    std::istringstream back(line.substr(end + kOptionalFieldsEnd.size()));
    std::string type, source;
    if (!device || !(back >> type >> source))
        return std::nullopt;
    return Mount{*device, Unescape(type), Unescape(source), Unescape(point)};
}

} // namespace

std::vector<Mount> ReadMounts() {
    std::vector<Mount> mounts;
    std::ifstream table(kMountTable);
    std::string line;
    while (std::getline(table, line))
        if (auto mount = ParseLine(line))
            mounts.push_back(std::move(*mount));
    return mounts;
}

} // namespace platform::layer
