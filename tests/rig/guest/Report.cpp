// SPDX-License-Identifier: GPL-2.0-or-later
#include "Report.h"

#include <cstdio>
#include <mutex>

namespace rig {

void Report(std::string_view keyword, std::initializer_list<std::string> fields) {
    std::string line(keyword);
    for (const std::string& field : fields)
        line.append(" ").append(field);
    line += '\n';
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace rig
