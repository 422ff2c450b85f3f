// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A test seam: a function the drive backings call at the moments where a backing's path could
// be swapped under a job (after the path was opened, before the job's claim, before each
// write), so that a test can change the file system exactly there instead of racing. Production
// code never sets it.

#include <functional>
#include <string>

namespace platform::layer {

enum class BackingMoment {
    Opened,   ///< the path was looked up and opened, the backing decided
    Claiming, ///< a claim (the job's lock, or one for a single request) is about to be taken
    Writing,  ///< bytes are about to be written under the claim
};

using BackingHook = std::function<void(BackingMoment moment, const std::string& path)>;

/// Calls the hook, if one is set (any thread).
void RunBackingHook(BackingMoment moment, const std::string& path);

/// Sets the hook for the lifetime of the object; one at a time.
class ScopedBackingHook {
public:
    explicit ScopedBackingHook(BackingHook hook);
    ~ScopedBackingHook();
    ScopedBackingHook(const ScopedBackingHook&) = delete;
    ScopedBackingHook& operator=(const ScopedBackingHook&) = delete;
};

} // namespace platform::layer
