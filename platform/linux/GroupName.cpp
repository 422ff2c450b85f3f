// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/GroupName.h"

#include <grp.h>

namespace platform::layer {
namespace {

constexpr std::size_t kGroupBufferBytes = 4096;

} // namespace

std::string GroupName(gid_t group) {
    struct group entry {};
    struct group* found = nullptr;
    char buffer[kGroupBufferBytes] = {};
    if (getgrgid_r(group, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr)
        return std::to_string(group);
    return found->gr_name;
}

} // namespace platform::layer
