// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Console.h"

#include <cstdio>

namespace tools {

void ReportError(std::string_view message) {
    std::fflush(stdout); // keep the two streams in order when both go to one place
    std::fprintf(stderr, "resfile: %.*s\n", static_cast<int>(message.size()), message.data());
}

void PrintLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace tools
