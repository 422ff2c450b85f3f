// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How large a container may be.

#include <cstdint>

namespace tools {

/// The largest container the tool writes, and the furthest end of an entry's data that check
/// accepts: every position in a container, its end included, must be a seek distance that the
/// reader (a signed 32-bit value) can reach, since callers seek to an entry's end as well.
inline constexpr std::uint64_t kMaxContainerBytes = 0x7FFFFFFF;

} // namespace tools
