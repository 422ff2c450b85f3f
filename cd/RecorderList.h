// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The CD recorders found at start-up and the drive letter of each, in the image mastering
// service's enumeration order. It derives from RecorderRef, whose reference stays empty.

#include "cd/RecorderRef.h"

#include <array>
#include <cstdint>

class RecorderList : public RecorderRef {
public:
    /// The most recorders the list keeps; the enumeration ends there.
    static constexpr std::int32_t kMaxRecorders = 26;

    RecorderList() = default;

    /// Looks for the recorders: when the shell reports a recordable drive and the disc master
    /// opens, stores the drive letter of each recorder the service enumerates (0 for one
    /// without a letter) and returns their number. Returns 0 and leaves the list as it was when
    /// the shell reports none (or is missing) or the disc master is missing or does not open.
    /// Every COM object of the run is closed and released before it returns. Dialog thread.
    std::int32_t EnumerateRecorders();

    /// The letter of the recorder at position i, as an upper-case ASCII letter; 0 when it has
    /// none or i is not a valid position.
    unsigned char letterAt(std::int32_t i) const;

    /// The number of valid positions.
    std::int32_t count() const { return count_; }

private:
    std::array<unsigned char, kMaxRecorders> letters_{};
    std::int32_t count_ = 0;
};
