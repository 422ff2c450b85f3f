// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/FilePointer.h"

#include "platform/Files.h"

namespace platform::layer {

std::optional<std::uint64_t> MovedPosition(std::uint64_t current, std::uint64_t end,
                                           std::int64_t distance, win::DWORD method) {
    std::int64_t base = 0;
    switch (method) {
    case win::FILE_BEGIN:
        break;
    case win::FILE_CURRENT:
        base = static_cast<std::int64_t>(current);
        break;
    case win::FILE_END:
        base = static_cast<std::int64_t>(end);
        break;
    default:
        win::SetLastError(win::ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    if (base + distance < 0) {
        win::SetLastError(win::ERROR_NEGATIVE_SEEK);
        return std::nullopt;
    }
    win::SetLastError(win::ERROR_SUCCESS);
    return static_cast<std::uint64_t>(base + distance);
}

} // namespace platform::layer
