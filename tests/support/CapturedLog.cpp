// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/CapturedLog.h"

#include <fstream>
#include <iterator>

namespace test {

CapturedLog::CapturedLog(TempDir& dir)
    : folder_(dir.path("state")), variable_("XDG_STATE_HOME", folder_.c_str()) {
}

std::string CapturedLog::text() const {
    std::ifstream log(folder_ + "/bootmedia/bootmedia.log");
    return std::string(std::istreambuf_iterator<char>(log), {});
}

} // namespace test
