// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/BackingHook.h"

#include "platform/NoDestructor.h"

#include <mutex>

namespace platform::layer {
namespace {

struct HookSlot {
    std::mutex mutex;
    BackingHook hook;
};

HookSlot& Slot() {
    static NoDestructor<HookSlot> slot;
    return slot.get();
}

} // namespace

void RunBackingHook(BackingMoment moment, const std::string& path) {
    BackingHook hook;
    {
        std::lock_guard lock(Slot().mutex);
        hook = Slot().hook;
    }
    if (hook)
        hook(moment, path);
}

ScopedBackingHook::ScopedBackingHook(BackingHook hook) {
    std::lock_guard lock(Slot().mutex);
    Slot().hook = std::move(hook);
}

ScopedBackingHook::~ScopedBackingHook() {
    std::lock_guard lock(Slot().mutex);
    Slot().hook = nullptr;
}

} // namespace platform::layer
