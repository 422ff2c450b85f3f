// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where SetFilePointer moves a handle's position, shared by every object that has one.

#include "platform/Types.h"

#include <cstdint>
#include <optional>

namespace platform::layer {

/// The position distance bytes from the start (FILE_BEGIN), from current (FILE_CURRENT) or from
/// end (FILE_END). Nothing, with the last error, for another method (ERROR_INVALID_PARAMETER) or
/// a position before the start (ERROR_NEGATIVE_SEEK).
std::optional<std::uint64_t> MovedPosition(std::uint64_t current, std::uint64_t end,
                                           std::int64_t distance, win::DWORD method);

} // namespace platform::layer
