// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/LibraryMessages.h"

#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/JolietImage.h"

#include <cstring>

namespace platform::layer {

std::string LibraryMessageLine(std::string_view library, std::string_view severity,
                               std::string_view text, int osErrno) {
    std::string line = std::string(library) + " " + std::string(severity) + ": ";
    line += text;
    if (osErrno != 0)
        line += std::string(" (") + std::strerror(osErrno) + ")";
    return line;
}

void LogLibraryMessages() {
    LogBurnMessages();
    LogImageMessages();
}

} // namespace platform::layer
