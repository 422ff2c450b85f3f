// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/DriveScript.h"

#include "platform/NoDestructor.h"

#include <mutex>
#include <utility>

namespace platform::layer {
namespace {

struct ScriptSlot {
    std::mutex mutex;
    std::optional<DriveScript> script;
};

ScriptSlot& Slot() {
    static NoDestructor<ScriptSlot> slot;
    return slot.get();
}

void Put(std::optional<DriveScript> script) {
    std::lock_guard lock(Slot().mutex);
    Slot().script = std::move(script);
}

} // namespace

ScopedDriveScript::ScopedDriveScript(DriveScript script) {
    Put(std::move(script));
}

ScopedDriveScript::~ScopedDriveScript() {
    Put(std::nullopt);
}

std::optional<DriveScript> CurrentDriveScript() {
    std::lock_guard lock(Slot().mutex);
    return Slot().script;
}

} // namespace platform::layer
